#include "ProjectFile.h"

#include "corekit/AtomicFile.h"
#include "corekit/TextFormat.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUuid>

namespace ambrel {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");
const QByteArray kFirstLine("Ambrel project 1");
const QString kRightAway = QStringLiteral("right away");
const QString kOn = QStringLiteral("on");
const QString kOff = QStringLiteral("off");

// A line break in the name would end its header line and turn the rest into another line; reading does the
// same, so that a name holding a lone CR opens as it will be saved.
QString oneLineName(QString name)
{
    name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return name;
}

QByteArrayView withoutByteOrderMark(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    return view.startsWith(kByteOrderMark) ? view.sliced(kByteOrderMark.size()) : view;
}

std::optional<QDate> readStart(const QString &value)
{
    if (value == kRightAway)
        return QDate();
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!form.match(value).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid() || !isWithinYears(date))
        return std::nullopt;
    return date;
}

QString tooLargeReason()
{
    return QStringLiteral("It is larger than 16 MiB, too large for an Ambrel project file.");
}

QString lineRefusal(qsizetype number, const QString &line, const QString &what)
{
    return QStringLiteral("Line %1: \"%2\" %3").arg(number).arg(line, what);
}

// Applies one header line; returns the refusal, or an empty string.
QString readHeaderLine(qsizetype number, const QString &line, ProjectFileContent &content)
{
    // An editor that trims trailing blanks turns "Name: " into "Name:", so a colon at the end stands for ":
    // ".
    qsizetype separator = line.indexOf(QLatin1String(": "));
    if (separator < 0 && line.endsWith(QLatin1Char(':')))
        separator = line.size() - 1;
    if (separator <= 0) {
        // Most likely a task line above the empty line that ends the header; dropping it would lose a task.
        return lineRefusal(number, line,
            QStringLiteral(
                "is not a header line: write \"Key: value\", and an empty line before the tasks."));
    }
    const QString key = line.left(separator);
    const QString value = line.mid(separator + 2);
    if (key == QLatin1String("Name")) {
        content.name = oneLineName(value);
    } else if (key == QLatin1String("Start")) {
        const auto start = readStart(value.trimmed());
        if (!start) {
            return lineRefusal(number, line,
                QStringLiteral("is not a start: write \"right away\" or a date as YYYY-MM-DD."));
        }
        content.startOnPickedDate = start->isValid();
        content.pickedStartDate = *start;
    } else if (key == QLatin1String("Working week")) {
        const QString switched = value.trimmed();
        if (switched != kOn && switched != kOff) {
            return lineRefusal(
                number, line, QStringLiteral("is not a working-week switch: write \"on\" or \"off\"."));
        }
        content.workingWeekApplies = switched == kOn;
    }
    if (key == QLatin1String("Id")) {
        content.id = value;
        return {};
    }
    // Any other key belongs to a later version and is left alone.
    return {};
}

} // namespace

QString newProjectId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString lastingProjectId(const QString &id, const QString &name)
{
    return oneLineName(id.isEmpty() ? name : id);
}

bool isProjectFile(const QByteArray &bytes)
{
    const QByteArrayView text = withoutByteOrderMark(bytes);
    if (!text.startsWith(kFirstLine))
        return false;
    const QByteArrayView rest = text.sliced(kFirstLine.size());
    return rest.isEmpty() || rest.startsWith("\n") || rest.startsWith("\r\n");
}

std::optional<ProjectFileContent> parseProjectFile(const QByteArray &bytes, QString *error)
{
    auto refuse = [error](const QString &reason) -> std::optional<ProjectFileContent> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    const QByteArrayView body = withoutByteOrderMark(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(body);
    // A NUL byte is valid UTF-8 but never typed: the file is binary.
    if (decoder.hasError() || text.contains(QChar(0)))
        return refuse(QStringLiteral("It is not UTF-8 text, so it is not an Ambrel project file."));
    if (!isProjectFile(bytes)) {
        return refuse(QStringLiteral("It is not an Ambrel project file: its first line is not \"%1\".")
                          .arg(QString::fromLatin1(kFirstLine)));
    }
    // Carriage returns before a line feed all belong to the line end: one pass over CR LF alone would turn
    // "\r\r\n" into a CR LF that the file could not keep.
    static const QRegularExpression lineEnd(QStringLiteral("\r+\n"));
    text.replace(lineEnd, QStringLiteral("\n"));

    ProjectFileContent content;
    qsizetype position = text.indexOf(QLatin1Char('\n'));
    qsizetype number = 1;
    while (position >= 0) {
        const qsizetype begin = position + 1;
        ++number;
        position = text.indexOf(QLatin1Char('\n'), begin);
        const QString line = text.mid(begin, position < 0 ? -1 : position - begin);
        if (line.isEmpty() && position >= 0) {
            content.taskText = text.mid(position + 1);
            if (content.taskText.endsWith(QLatin1Char('\n')))
                content.taskText.chop(1);
            return content;
        }
        if (line.isEmpty())
            break;
        const QString refusal = readHeaderLine(number, line, content);
        if (!refusal.isEmpty())
            return refuse(refusal);
    }
    // The file ends inside the header: a project without tasks.
    return content;
}

QByteArray projectFileBytes(const ProjectFileContent &content)
{
    const QString name = oneLineName(content.name);
    const bool picked = content.startOnPickedDate && content.pickedStartDate.isValid()
        && isWithinYears(content.pickedStartDate);
    QString taskText = content.taskText;
    taskText.replace(QLatin1String("\r\n"), QLatin1String("\n"));

    QString text = QString::fromLatin1(kFirstLine) + QLatin1Char('\n');
    text += QLatin1String("Name: ") + name + QLatin1Char('\n');
    text += QLatin1String("Start: ") + (picked ? formatIsoDate(content.pickedStartDate) : kRightAway)
        + QLatin1Char('\n');
    text += QLatin1String("Working week: ") + (content.workingWeekApplies ? kOn : kOff) + QLatin1Char('\n');
    // Only when there is one, so that a file without an Id keeps its bytes.
    if (!oneLineName(content.id).isEmpty())
        text += QLatin1String("Id: ") + oneLineName(content.id) + QLatin1Char('\n');
    text += QLatin1Char('\n');
    text += taskText;
    // A line feed after a closing CR would make a CR LF of it, read back as a plain line end.
    if (!taskText.endsWith(QLatin1Char('\r')))
        text += QLatin1Char('\n');
    return text.toUtf8();
}

std::optional<ProjectFileContent> readProjectFile(
    const QByteArray &bytes, const QString &fileName, QString *error)
{
    QString reason;
    std::optional<ProjectFileContent> content;
    if (bytes.size() > MaxProjectFileBytes)
        reason = tooLargeReason();
    else
        content = parseProjectFile(bytes, &reason);
    if (!content && error)
        *error = QStringLiteral("Could not open %1: %2").arg(QDir::toNativeSeparators(fileName), reason);
    return content;
}

std::optional<ProjectFileContent> loadProjectFile(const QString &path, QString *error)
{
    QFile file(path);
    auto refuse = [&](const QString &reason) -> std::optional<ProjectFileContent> {
        if (error)
            *error = QStringLiteral("Could not open %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return std::nullopt;
    };
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    // Checked before reading so that a huge file is never loaded only to be refused.
    if (file.size() > MaxProjectFileBytes)
        return refuse(tooLargeReason());
    const QByteArray bytes = file.read(MaxProjectFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    return readProjectFile(bytes, path, error);
}

bool saveProjectFile(const QString &path, const ProjectFileContent &content, QString *error)
{
    QString reason;
    if (writeFileAtomically(path, projectFileBytes(content), &reason))
        return true;
    if (error)
        *error = QStringLiteral("Could not save %1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

} // namespace ambrel
