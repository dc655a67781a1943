#include "ProjectFile.h"

#include "corekit/AtomicFile.h"
#include "corekit/TextFormat.h"
#include "corekit/TextInput.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUuid>

#include <algorithm>
#include <utility>

namespace ambrel {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");
const QByteArray kFirstLine("Ambrel project 1");
const QString kRightAway = QStringLiteral("right away");
const QString kOn = QStringLiteral("on");
const QString kOff = QStringLiteral("off");
const QString kWait = QStringLiteral("wait");

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

QString inputRefusal(InputProblem problem, const QString &systemReason)
{
    switch (problem) {
    case InputProblem::None:
        break;
    case InputProblem::Unreadable:
        return systemReason;
    case InputProblem::TooLarge:
        return tooLargeReason();
    case InputProblem::Utf16:
        return QStringLiteral("It is UTF-16 text; Ambrel reads UTF-8 text only.");
    case InputProblem::NotUtf8:
        return QStringLiteral("It is not UTF-8 text.");
    case InputProblem::CrOnlyLineEnds:
        return QStringLiteral(
            "Its lines end in a carriage return alone; Ambrel reads lines that end in LF or "
            "CR LF.");
    }
    return {};
}

QString notUtf8()
{
    return QStringLiteral("It is not UTF-8 text, so it is not an Ambrel project file.");
}

// Carriage returns before a line feed all belong to the line end: one pass over CR LF alone would turn
// "\r\r\n" into a CR LF that the file could not keep. A CR anywhere else stays.
void dropReturnsBeforeLineFeeds(QString &text)
{
    QChar *data = text.data();
    const qsizetype size = text.size();
    qsizetype kept = 0;
    for (qsizetype at = 0; at < size;) {
        qsizetype returns = at;
        while (returns < size && data[returns] == QLatin1Char('\r'))
            ++returns;
        if (returns < size && returns > at && data[returns] == QLatin1Char('\n'))
            at = returns;
        for (const qsizetype end = std::max(returns, at + 1); at < end && at < size;)
            data[kept++] = data[at++];
    }
    text.truncate(kept);
}

// Bytes whose first line, after any number of byte-order marks, is the project file's; what follows it
// may still keep the file from being taken.
bool startsLikeProjectFile(QByteArrayView bytes, int *byteOrderMarks)
{
    *byteOrderMarks = 0;
    while (bytes.startsWith(kByteOrderMark)) {
        bytes = bytes.sliced(kByteOrderMark.size());
        ++*byteOrderMarks;
    }
    if (!bytes.startsWith(kFirstLine))
        return false;
    bytes = bytes.sliced(kFirstLine.size());
    return bytes.isEmpty() || bytes.startsWith('\n') || bytes.startsWith('\r');
}

// Why bytes that start like a project file cannot be taken before their lines are even read, or empty.
QString recognitionRefusal(const QByteArray &bytes)
{
    int byteOrderMarks = 0;
    if (!startsLikeProjectFile(bytes, &byteOrderMarks))
        return {};
    if (byteOrderMarks > 1) {
        return QStringLiteral(
            "It starts with more than one byte-order mark; save it again as UTF-8 with one or none.");
    }
    if (!isProjectFile(bytes))
        return inputRefusal(InputProblem::CrOnlyLineEnds, QString());
    return {};
}

Refusal refuseOpening(const QString &fileName, const QString &reason)
{
    return Refusal {
        QStringLiteral("Could not open %1: %2").arg(QDir::toNativeSeparators(fileName), reason)
    };
}

QString lineRefusal(qsizetype number, const QString &line, const QString &what)
{
    return QStringLiteral("Line %1: \"%2\" %3").arg(number).arg(line, what);
}

// The one value the key takes: a file without the line keeps the rule that parallel tasks are not waited for.
QString readParallelLine(
    qsizetype number, const QString &line, const QString &value, ProjectFileContent &content)
{
    if (value.trimmed() != kWait)
        return lineRefusal(
            number, line, QStringLiteral("is not a parallel rule: write \"wait\", or leave the line out."));
    content.waitForParallel = true;
    return {};
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

    if (key == QLatin1String("Parallel"))
        return readParallelLine(number, line, value, content);

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

bool isProjectFile(const QByteArray &bytes)
{
    const QByteArrayView text = withoutByteOrderMark(bytes);
    if (!text.startsWith(kFirstLine))
        return false;
    const QByteArrayView rest = text.sliced(kFirstLine.size());
    if (rest.isEmpty())
        return true;
    // Carriage returns piled before the line feed belong to the line end, as on every other line.
    qsizetype returns = 0;
    while (returns < rest.size() && rest[returns] == '\r')
        ++returns;
    return returns < rest.size() && rest[returns] == '\n';
}

Refusable<ProjectFileContent> parseProjectFile(const QByteArray &bytes)
{
    auto refuse = [](const QString &reason) { return Refusal { reason }; };
    const QByteArrayView body = withoutByteOrderMark(bytes);
    // A NUL byte is valid UTF-8 but never typed: the file is binary.
    if (body.contains('\0'))
        return refuse(notUtf8());
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(body);
    if (decoder.hasError())
        return refuse(notUtf8());
    if (!isProjectFile(bytes)) {
        return refuse(QStringLiteral("It is not an Ambrel project file: its first line is not \"%1\".")
                          .arg(QString::fromLatin1(kFirstLine)));
    }
    if (text.contains(QLatin1Char('\r')))
        dropReturnsBeforeLineFeeds(text);

    ProjectFileContent content;
    qsizetype position = text.indexOf(QLatin1Char('\n'));
    qsizetype number = 1;
    while (position >= 0) {
        const qsizetype begin = position + 1;
        ++number;
        position = text.indexOf(QLatin1Char('\n'), begin);
        const QString line = text.mid(begin, position < 0 ? -1 : position - begin);
        if (line.isEmpty() && position >= 0) {
            // Removing the header from the front moves no character of the task text.
            text.remove(0, position + 1);
            content.taskText = std::move(text);
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
    if (content.waitForParallel)
        text += QLatin1String("Parallel: ") + kWait + QLatin1Char('\n');
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

Refusable<ProjectFileContent> readProjectFile(const QByteArray &bytes, const QString &fileName)
{
    if (bytes.size() > MaxProjectFileBytes)
        return refuseOpening(fileName, tooLargeReason());
    QString reason = inputRefusal(textProblem(bytes), QString());
    if (reason.isEmpty())
        reason = recognitionRefusal(bytes);
    if (!reason.isEmpty())
        return refuseOpening(fileName, reason);
    Refusable<ProjectFileContent> content = parseProjectFile(bytes);
    if (content.refused())
        return refuseOpening(fileName, content.refusal().text);
    return content;
}

Refusable<ProjectFileContent> loadProjectFile(const QString &path)
{
    const TextInput input = readTextFile(path, MaxProjectFileBytes);
    if (input.problem != InputProblem::None)
        return refuseOpening(path, inputRefusal(input.problem, input.reason));
    return readProjectFile(input.bytes, path);
}

namespace {

Refusable<ProjectFileContent> projectOrTaskText(const TextInput &input, const QString &name)
{
    if (input.problem != InputProblem::None)
        return refuseOpening(name, inputRefusal(input.problem, input.reason));
    int byteOrderMarks = 0;
    if (startsLikeProjectFile(input.bytes, &byteOrderMarks))
        return readProjectFile(input.bytes, name);
    ProjectFileContent content;
    content.taskText = QString::fromUtf8(input.bytes);
    return content;
}

} // namespace

Refusable<ProjectFileContent> loadProjectOrTaskText(const QString &path)
{
    return projectOrTaskText(readTextFile(path, MaxProjectFileBytes), path);
}

Refusable<ProjectFileContent> readProjectOrTaskText(QIODevice &input, const QString &name)
{
    return projectOrTaskText(readTextInput(input, MaxProjectFileBytes), name);
}

std::optional<Refusal> saveProjectFile(
    const QString &path, const ProjectFileContent &content, WriteOptions options)
{
    return saveFileAtomically(path, projectFileBytes(content), options);
}

} // namespace ambrel
