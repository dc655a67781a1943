#include "CsvWriter.h"

#include "corekit/TextFormat.h"
#include "export/ExportFile.h"

#include <QIODevice>
#include <QLocale>

namespace ambrel {

namespace {

bool needsQuotes(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u',' || u == u'"' || u == u'\r' || u == u'\n')
            return true;
    }
    return false;
}

void appendField(QString &out, const QString &text)
{
    if (!needsQuotes(text)) {
        out += text;
        return;
    }
    out += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            out += QLatin1Char('"');
        out += c;
    }
    out += QLatin1Char('"');
}

void appendLine(QString &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        appendField(out, fields[i]);
    }
    out += QLatin1String("\r\n");
}

} // namespace

QString csvField(const QString &text)
{
    QString out;
    appendField(out, text);
    return out;
}

QByteArray calendarCsv(const std::vector<EventRow> &events)
{
    QString out;
    out.reserve(qsizetype(events.size()) * 96 + 128);
    appendLine(out, eventColumnTitles());
    for (const EventRow &event : events) {
        for (int column = 0; column < EventRow::ColumnCount; ++column) {
            if (column > 0)
                out += QLatin1Char(',');
            appendField(out, event.cell(column, &formatExportDate));
        }
        out += QLatin1String("\r\n");
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
    return writeExportFile(path, calendarCsv(events), error);
}

std::optional<QByteArray> calendarCsv(const std::vector<EventRow> &events, CsvLayout layout, QString *error)
{
    if (layout == CsvLayout::Runs)
        return calendarCsv(events);
    if (eventDayCount(events) > MaxCsvDayLines) {
        if (error) {
            *error
                = QStringLiteral("The events cover more than %1 days, too many for a file of one event per "
                                 "day. Please export one event per run of days instead.")
                      .arg(QLocale().toString(MaxCsvDayLines));
        }
        return std::nullopt;
    }
    return calendarCsv(dailyEventRows(events));
}

bool writeCalendarCsv(
    QIODevice *device, const std::vector<EventRow> &events, CsvLayout layout, QString *error)
{
    const std::optional<QByteArray> bytes = calendarCsv(events, layout, error);
    if (!bytes)
        return false;
    if (device->write(*bytes) == bytes->size())
        return true;
    if (error)
        *error = device->errorString();
    return false;
}

bool WriteCalendarCSV(
    const QString &path, const std::vector<EventRow> &events, CsvLayout layout, QString *error)
{
    const std::optional<QByteArray> bytes = calendarCsv(events, layout, error);
    return bytes && writeExportFile(path, *bytes, error);
}

} // namespace ambrel
