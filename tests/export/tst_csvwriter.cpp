#include "export/CsvWriter.h"

#include "corekit/TextFormat.h"
#include "export/EventRow.h"

#include "FileSizeLimit.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;

Q_DECLARE_METATYPE(ambrel::CsvLayout)

namespace {

EventRow makeEvent(
    const QString &subjectBase, int number, const QString &description = QStringLiteral("Write"))
{
    EventRow row;
    row.subjectBase = subjectBase;
    row.number = number;
    row.startDate = QDate(2024, 6, 6);
    row.endDate = QDate(2024, 6, 7);
    row.startTime = QStringLiteral("09:00 AM");
    row.endTime = QStringLiteral("05:00 PM");
    row.description = description;
    return row;
}

const QByteArray kHeader(
    "Subject,Start Date,Start Time,End Date,End Time,All Day Event,Description,Location,Private\r\n");

// The fields of each line of a CSV file that needs no quotes.
QList<QStringList> parseCsv(const QByteArray &bytes)
{
    QList<QStringList> lines;
    for (const QString &line : QString::fromUtf8(bytes).split(QLatin1String("\r\n"), Qt::SkipEmptyParts))
        lines << line.split(QLatin1Char(','));
    return lines;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestCsvWriter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void document_data();
    void document();
    void field_data();
    void field();
    void eventRowsOfSchedule();
    void scheduleWrittenAsItsRows_data();
    void scheduleWrittenAsItsRows();
    void fileIsCreatedThenReplaced();
    void failedWriteKeepsTheEarlierFile_data();
    void failedWriteKeepsTheEarlierFile();
    void unwritablePathSaysWhy();
    void perDayFollowsTheRuns();
};

void TestCsvWriter::initTestCase()
{
    // The file's dates must not follow the desktop's locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestCsvWriter::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestCsvWriter::document_data()
{
    QTest::addColumn<std::vector<EventRow>>("events");
    QTest::addColumn<QByteArray>("rows"); // what follows the header

    const QByteArray rest(",06/06/2024,09:00 AM,06/07/2024,05:00 PM,False,Write,Home,True\r\n");
    QTest::newRow("no events: the header alone") << std::vector<EventRow>() << QByteArray();
    QTest::newRow("numbered subjects") << std::vector<EventRow> { makeEvent("Launch: Write", 1),
        makeEvent("Launch: Write", 2) } << "Launch: Write" + rest + "Launch: Write (2)" + rest;
    QTest::newRow("quoted subject") << std::vector<EventRow> { makeEvent("A, B", 1) } << "\"A, B\"" + rest;
    QTest::newRow("UTF-8 without byte order mark")
        << std::vector<EventRow> { makeEvent(QStringLiteral("Café: Über"), 1) }
        << "Caf\xC3\xA9: \xC3\x9C"
           "ber"
            + rest;
}

void TestCsvWriter::document()
{
    QFETCH(std::vector<EventRow>, events);
    QFETCH(QByteArray, rows);
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(writeCalendarCsv(&buffer, events));
    QCOMPARE(buffer.data(), kHeader + rows);
}

void TestCsvWriter::field_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");

    QTest::newRow("blanks kept") << " a  b "
                                 << " a  b ";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("comma") << "Design, build"
                           << "\"Design, build\"";
    QTest::newRow("quote") << "The \"big\" one"
                           << "\"The \"\"big\"\" one\"";
    QTest::newRow("carriage return") << "a\rb"
                                     << "\"a\rb\"";
    QTest::newRow("line feed") << "a\nb"
                               << "\"a\nb\"";
    QTest::newRow("semicolon is plain") << "a;b"
                                        << "a;b";
}

void TestCsvWriter::field()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(csvField(text), field);
}

void TestCsvWriter::eventRowsOfSchedule()
{
    Schedule schedule;
    schedule.projectName = QStringLiteral("Launch");
    schedule.startsAt = QStringLiteral("09:00 AM");
    schedule.endsAt = QStringLiteral("05:00 PM");
    const auto task = [](const QString &eventText, int runs) {
        TaskRow row;
        row.eventText = eventText;
        for (int i = 0; i < runs; ++i)
            row.events.push_back({ QDate(2024, 6, 3 + 7 * i), QDate(2024, 6, 4 + 7 * i) });
        return row;
    };
    schedule.tasks
        = { task("Write report", 3), task("Call", 0), task("Plan//Design", 1), task("Write report", 1) };
    schedule.tasks.push_back(task("Release", 1));
    schedule.tasks.back().marks.milestone = true;

    const std::vector<EventRow> rows = calendarEventRows(schedule);
    QStringList subjects;
    for (const EventRow &row : rows) {
        subjects << row.subject();
        // Every event carries the hours and the name the schedule was built with; a milestone has no hours.
        const bool milestone = &row == &rows.back();
        QCOMPARE(row.cell(EventRow::StartTime, &formatExportDate), milestone ? QString() : "09:00 AM");
        QCOMPARE(row.cell(EventRow::EndTime, &formatExportDate), milestone ? QString() : "05:00 PM");
        QCOMPARE(row.cell(EventRow::AllDayEvent, &formatExportDate), milestone ? "True" : "False");
    }
    QCOMPARE(subjects,
        QStringList({ "Launch: Write report", "Launch: Write report (2)", "Launch: Write report (3)",
            "Launch: Plan//Design", "Launch: Write report", "Launch: Release" }));
    QCOMPARE(rows[2].startDate, QDate(2024, 6, 17));
    QCOMPARE(rows[2].endDate, QDate(2024, 6, 18));
    QCOMPARE(rows[3].description, QStringLiteral("Plan//Design"));
    // The second task of the same text is told apart from the first.
    QCOMPARE(rows[0].occurrence, 1);
    QCOMPARE(rows[4].occurrence, 2);
}

void TestCsvWriter::scheduleWrittenAsItsRows_data()
{
    QTest::addColumn<int>("tasks");
    QTest::addColumn<CsvLayout>("layout");

    QTest::newRow("no tasks") << 0 << CsvLayout::Runs;
    QTest::newRow("a few tasks") << 3 << CsvLayout::Runs;
    QTest::newRow("many more lines than one piece holds") << 4000 << CsvLayout::Runs;
    QTest::newRow("a day a line") << 1500 << CsvLayout::PerDay;
}

// The file written straight from the schedule is, byte for byte, the file of its list of event rows, each
// line joined as the plain rule says.
void TestCsvWriter::scheduleWrittenAsItsRows()
{
    QFETCH(int, tasks);
    QFETCH(CsvLayout, layout);
    Schedule schedule;
    schedule.projectName = QStringLiteral("Relaunch, \"phase\" 2");
    schedule.startsAt = QStringLiteral("09:00 AM");
    schedule.endsAt = QStringLiteral("05:00 PM");
    for (int i = 0; i < tasks; ++i) {
        TaskRow row;
        row.eventText = i % 7 == 0 ? QStringLiteral("Caf\u00e9 %1").arg(i) : QStringLiteral("Task %1").arg(i % 50);
        for (int run = 0; run < i % 3; ++run)
            row.events.push_back({ QDate(2024, 6, 3).addDays(7 * run + i), QDate(2024, 6, 5).addDays(7 * run + i) });
        schedule.tasks.push_back(row);
    }
    const std::vector<EventRow> rows = calendarEventRows(schedule);
    const std::vector<EventRow> lines = layout == CsvLayout::Runs ? rows : dailyEventRows(rows);
    QString expected = QString::fromUtf8(kHeader);
    for (const EventRow &row : lines) {
        QStringList cells;
        for (int column = 0; column < EventRow::ColumnCount; ++column)
            cells << csvField(row.cell(column, &formatExportDate));
        expected += cells.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(!writeCalendarCsv(&buffer, schedule, layout));
    QCOMPARE(buffer.data(), expected.toUtf8());
    const Refusable<QByteArray> bytes = calendarCsv(rows, layout);
    QCOMPARE(bytes.refused() ? QByteArray() : *bytes, expected.toUtf8());
}

void TestCsvWriter::fileIsCreatedThenReplaced()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("output/project.csv")); // the folder does not exist yet
    QVERIFY(!WriteCalendarCSV(path, { makeEvent("P: T", 1), makeEvent("P: T", 2) }));
    QVERIFY(readAll(path).startsWith(kHeader + "P: T,"));
    QVERIFY(!WriteCalendarCSV(path, {}));
    QCOMPARE(readAll(path), kHeader);
}

void TestCsvWriter::failedWriteKeepsTheEarlierFile_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("events");

    QTest::newRow("a large write fails on its way") << 4096 << 2000;
    // A small write sits in the buffer and only fails when it reaches the disk.
    QTest::newRow("a small write fails when flushed") << 0 << 1;
}

void TestCsvWriter::failedWriteKeepsTheEarlierFile()
{
    QFETCH(int, limit);
    QFETCH(int, events);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("project.csv"));
    QVERIFY(!WriteCalendarCSV(path, { makeEvent("P: T", 1) }));
    const QByteArray earlier = readAll(path);

    const std::vector<EventRow> many(size_t(events), makeEvent("P: A longer task", 1));
    std::optional<Refusal> failed;
    {
        testing::FileSizeLimit sizeLimit(limit);
        QVERIFY(sizeLimit.isActive());
        failed = WriteCalendarCSV(path, many);
    }
    QVERIFY(failed);
    QCOMPARE(failed->text,
        QStringLiteral("Could not write %1: File too large").arg(QDir::toNativeSeparators(path)));
    QCOMPARE(readAll(path), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "project.csv" });
}

void TestCsvWriter::unwritablePathSaysWhy()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("output")));
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    const std::optional<Refusal> failed
        = WriteCalendarCSV(dir.filePath(QStringLiteral("output/project.csv")), {});
    QVERIFY(failed);
    QVERIFY2(
        failed->text.endsWith(QStringLiteral(": the folder %1 could not be created.")
                                  .arg(QDir::toNativeSeparators(dir.filePath(QStringLiteral("output"))))),
        qPrintable(failed->text));
}

void TestCsvWriter::perDayFollowsTheRuns()
{
    // Runs cut by weekends and two days off, and a task under a day.
    const std::vector<QDate> daysOff { QDate(2024, 6, 12), QDate(2024, 6, 20) };
    ScheduleRequest request;
    request.todoText = QStringLiteral("Plan + 4\nBuild + 12\n//Docs + 3\nHalf + 0.5\nShip + 2");
    request.projectName = QStringLiteral("Launch");
    request.calendar = WorkingCalendar({ 0, 1, 1, 1, 1, 1, 0, 0 }, true, daysOff);
    request.startsAt = QStringLiteral("09:00 AM");
    request.endsAt = QStringLiteral("05:00 PM");
    ScheduleState state;
    Schedule schedule;
    QVERIFY(!ScheduleBuilder::build(state, request, QDate(2024, 6, 6), schedule));
    const std::vector<EventRow> events = calendarEventRows(schedule);
    QVERIFY(spansSeveralDays(events));
    QVERIFY(!spansSeveralDays(dailyEventRows(events)));

    QCOMPARE(*calendarCsv(events, CsvLayout::Runs), calendarCsv(events));
    const QList<QStringList> runs = parseCsv(calendarCsv(events));
    const QList<QStringList> days = parseCsv(*calendarCsv(events, CsvLayout::PerDay));
    QCOMPARE(days.first(), runs.first());

    qsizetype line = 1;
    for (qsizetype run = 1; run < runs.size(); ++run) {
        const QDate first = QDate::fromString(runs[run][EventRow::StartDate], QStringLiteral("MM/dd/yyyy"));
        const QDate last = QDate::fromString(runs[run][EventRow::EndDate], QStringLiteral("MM/dd/yyyy"));
        for (QDate day = first; day <= last; day = day.addDays(1), ++line) {
            QVERIFY(request.calendar.IsWorkingDay(day));
            QStringList expected = runs[run];
            expected[EventRow::StartDate] = expected[EventRow::EndDate] = formatExportDate(day);
            QVERIFY(line < days.size());
            QCOMPARE(days[line], expected);
        }
    }
    QCOMPARE(line, days.size());
    QVERIFY(days.size() > runs.size());
    QCOMPARE(days[line - 1][EventRow::Subject], QStringLiteral("Launch: Ship  (2)"));

    // A run too long for one line per day is refused, not written.
    EventRow endless = events.front();
    endless.endDate = QDate(9999, 12, 31);
    const Refusable<QByteArray> refused = calendarCsv({ endless }, CsvLayout::PerDay);
    QVERIFY(refused.refused());
    QVERIFY(refused.refusal().text.contains(QStringLiteral("one event per run")));
}

QTEST_APPLESS_MAIN(TestCsvWriter)
#include "tst_csvwriter.moc"
