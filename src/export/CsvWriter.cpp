#include "CsvWriter.h"

#include "corekit/TextFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

namespace ambrel {

namespace {

void appendLine(QString &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        out += csvField(fields[i]);
    }
    out += QLatin1String("\r\n");
}

} // namespace

QString csvField(const QString &text)
{
    static const QString needsQuotes = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (const QChar c : text) {
        if (needsQuotes.contains(c)) {
            quote = true;
            break;
        }
    }
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray calendarCsv(const std::vector<EventRow> &events)
{
    QString out;
    out.reserve(qsizetype(events.size()) * 96 + 128);
    appendLine(out, eventColumnTitles());
    QStringList fields;
    for (const EventRow &event : events) {
        fields.clear();
        for (int column = 0; column < EventRow::ColumnCount; ++column)
            fields << event.cell(column, &formatExportDate);
        appendLine(out, fields);
    }
    return out.toUtf8();
}

bool writeCalendarCsv(QIODevice *device, const std::vector<EventRow> &events)
{
    const QByteArray bytes = calendarCsv(events);
    return device->write(bytes) == bytes.size();
}

bool WriteCalendarCSV(const QString &path, const std::vector<EventRow> &events, QString *error)
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder %1 could not be created.").arg(QDir::toNativeSeparators(folder)));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!writeCalendarCsv(&file, events)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace ambrel
