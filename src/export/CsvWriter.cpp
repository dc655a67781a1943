#include "CsvWriter.h"

#include "corekit/TextFormat.h"
#include "export/ExportFile.h"

#include <QBuffer>
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

// The file's lines, gathered as text and handed to the device in large UTF-8 pieces. A piece always ends
// with a whole line, so no character is ever cut in two.
class CsvOutput final {
public:
    explicit CsvOutput(QIODevice *device)
        : m_device(device)
    {
        m_text.reserve(kPieceChars + 1024);
    }

    void titles()
    {
        const QStringList fields = eventColumnTitles();
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                m_text += QLatin1Char(',');
            appendField(m_text, fields[i]);
        }
        endLine();
    }

    void event(const EventRow &event)
    {
        for (int column = 0; column < EventRow::ColumnCount; ++column) {
            if (column > 0)
                m_text += QLatin1Char(',');
            appendField(m_text, event.cell(column, &formatExportDate));
        }
        endLine();
    }

    // Each day of the event as an event of its own, from the begin to the end hour.
    void days(const EventRow &event)
    {
        EventRow daily = event;
        for (QDate day = event.startDate; day <= event.endDate; day = day.addDays(1)) {
            daily.startDate = day;
            daily.endDate = day;
            this->event(daily);
        }
    }

    // Writes out what is gathered; false when the device took less than it was given.
    bool finish()
    {
        if (m_written && !m_text.isEmpty()) {
            const QByteArray bytes = m_text.toUtf8();
            m_written = m_device->write(bytes) == bytes.size();
        }
        m_text.resize(0);
        return m_written;
    }

private:
    static constexpr qsizetype kPieceChars = 128 * 1024;

    void endLine()
    {
        m_text += QLatin1String("\r\n");
        if (m_text.size() >= kPieceChars)
            finish();
    }

    QIODevice *m_device;
    QString m_text;
    bool m_written = true;
};

bool writeEvents(QIODevice *device, const std::vector<EventRow> &events, CsvLayout layout)
{
    CsvOutput output(device);
    output.titles();
    for (const EventRow &event : events) {
        if (layout == CsvLayout::Runs)
            output.event(event);
        else
            output.days(event);
    }
    return output.finish();
}

Refusal tooManyDays()
{
    return Refusal { QStringLiteral(
        "The events cover more than %1 days, too many for a file of one event per "
        "day. Please export one event per run of days instead.")
                         .arg(QLocale().toString(MaxCsvDayLines)) };
}

QByteArray csvBytes(const std::vector<EventRow> &events, CsvLayout layout)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeEvents(&buffer, events, layout);
    return bytes;
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
    return csvBytes(events, CsvLayout::Runs);
}

bool writeCalendarCsv(QIODevice *device, const std::vector<EventRow> &events)
{
    return writeEvents(device, events, CsvLayout::Runs);
}

std::optional<Refusal> WriteCalendarCSV(const QString &path, const std::vector<EventRow> &events)
{
    return writeExportFile(
        path, [&](QIODevice *device, QString *) { return writeEvents(device, events, CsvLayout::Runs); });
}

Refusable<QByteArray> calendarCsv(const std::vector<EventRow> &events, CsvLayout layout)
{
    if (layout == CsvLayout::PerDay && eventDayCount(events) > MaxCsvDayLines)
        return tooManyDays();
    return csvBytes(events, layout);
}

std::optional<Refusal> writeCalendarCsv(QIODevice *device, const Schedule &schedule, CsvLayout layout)
{
    if (layout == CsvLayout::PerDay && eventDayCount(schedule) > MaxCsvDayLines)
        return tooManyDays();
    CsvOutput output(device);
    output.titles();
    for (const TaskRow &task : schedule.tasks) {
        for (qsizetype number = 1; number <= qsizetype(task.events.size()); ++number) {
            const EventRow event = EventRow::of(schedule, task, number);
            if (layout == CsvLayout::Runs)
                output.event(event);
            else
                output.days(event);
        }
    }
    if (output.finish())
        return std::nullopt;
    return Refusal { device->errorString() };
}

std::optional<Refusal> WriteCalendarCSV(const QString &path, const Schedule &schedule, CsvLayout layout)
{
    if (layout == CsvLayout::PerDay && eventDayCount(schedule) > MaxCsvDayLines)
        return tooManyDays();
    return writeExportFile(
        path, [&](QIODevice *device, QString *) { return !writeCalendarCsv(device, schedule, layout); });
}

} // namespace ambrel
