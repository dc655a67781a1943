#include "project/Project.h"

#include <QBuffer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ambrel;

namespace {

const QDate kMonday(2024, 6, 3);

Settings weekdays()
{
    Settings settings;
    settings.WorkingWeek = { 0, 1, 1, 1, 1, 1, 0, 0 };
    settings.hours = { QStringLiteral("09:00 AM"), QStringLiteral("05:00 PM") };
    return settings;
}

// Plan makes one event, Build two (over a weekend), Call none.
void fill(Project &project)
{
    project.setSettings(weekdays());
    project.begin(kMonday);
    project.setName(QStringLiteral("Launch"));
    project.setTaskText(QStringLiteral("Plan + 2\nBuild + 5\r\nCall + 0.5"));
}

QStringList csvLines(const Project &project)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    project.writeCalendarCsv(&buffer);
    return QString::fromUtf8(buffer.data()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// The UID lines of the project's iCalendar export.
QByteArrayList icsUids(const Project &project, const QString &path)
{
    if (project.exportCalendarIcs(path, QDateTime(kMonday, QTime(8, 0), Qt::UTC)))
        return {};
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QByteArrayList uids;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("UID:"))
            uids << line.trimmed();
    }
    return uids;
}

} // namespace

class TestProject : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void rebuild();
    void refusalKeepsTheLastSchedule_data();
    void refusalKeepsTheLastSchedule();
    void removeAllResetsTheStart();
    void rebuildGoesOnFromTheChangedLine();
    void textFromRowsBuildsTheSameSchedule();
    void icsUidsFollowTheId_data();
    void icsUidsFollowTheId();
};

void TestProject::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestProject::rebuild()
{
    Project project;
    fill(project);
    QSignalSpy resets(&project, &Project::scheduleReset);
    QVERIFY(!project.rebuild(kMonday));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(project.tasks().size(), size_t(3));
    QCOMPARE(project.tasks()[1].startDate, QDate(2024, 6, 5));
    QCOMPARE(project.tasks()[1].endDate, QDate(2024, 6, 11));
    QCOMPARE(project.schedule().eventCount(), 3);
    QCOMPARE(csvLines(project).mid(1),
        QStringList({ "Launch: Plan ,06/03/2024,09:00 AM,06/04/2024,05:00 PM,False,Plan ,Home,True",
            "Launch: Build ,06/05/2024,09:00 AM,06/07/2024,05:00 PM,False,Build ,Home,True",
            "Launch: Build  (2),06/10/2024,09:00 AM,06/11/2024,05:00 PM,False,Build ,Home,True" }));

    // The events keep the name they were built with until the next build.
    project.setName(QStringLiteral("Renamed"));
    QVERIFY(csvLines(project).at(1).startsWith(QLatin1String("Launch: Plan ")));
    QVERIFY(!project.rebuild(kMonday));
    QVERIFY(csvLines(project).at(1).startsWith(QLatin1String("Renamed: Plan ")));
}

void TestProject::refusalKeepsTheLastSchedule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pastDate");
    QTest::addColumn<QString>("refusalStart");

    QTest::newRow("picked date in the past")
        << "A + 1" << true << "Your project is set to start on a past date.";
    QTest::newRow("too many days") << "A + 1000000000000" << false
                                   << "Line 1 (\"A + 1000000000000\") asks for more days";
}

void TestProject::refusalKeepsTheLastSchedule()
{
    QFETCH(QString, text);
    QFETCH(bool, pastDate);
    QFETCH(QString, refusalStart);
    Project project;
    fill(project);
    QVERIFY(!project.rebuild(kMonday));
    const ScheduleState before = project.state();

    project.setTaskText(text);
    if (pastDate) {
        project.setStartOnPickedDate(true);
        project.setPickedStartDate(kMonday.addDays(-1));
    }
    QSignalSpy refused(&project, &Project::buildRefused);
    QSignalSpy resets(&project, &Project::aboutToReset);
    const std::optional<Refusal> refusal = project.rebuild(kMonday);
    QVERIFY(refusal);
    QVERIFY2(refusal->text.startsWith(refusalStart), qPrintable(refusal->text));
    QCOMPARE(refused.count(), 1);
    QCOMPARE(resets.count(), 0);
    QCOMPARE(project.tasks().size(), size_t(3));
    QCOMPARE(project.schedule().eventCount(), 3);
    QCOMPARE(project.state().NextTaskStart, before.NextTaskStart);
}

void TestProject::removeAllResetsTheStart()
{
    Project project;
    fill(project);
    QVERIFY(!project.rebuild(kMonday));
    project.removeAll(QDate(2024, 6, 8)); // a Saturday: the start moves on to Monday
    QVERIFY(project.tasks().empty());
    QCOMPARE(project.state().NextTaskStart, QDate(2024, 6, 10));
    QCOMPARE(csvLines(project).size(), 1);
}

void TestProject::rebuildGoesOnFromTheChangedLine()
{
    // Built alike, then one project lays out its last lines again while the other builds afresh.
    Project resumed;
    Project afresh;
    for (Project *project : { &resumed, &afresh }) {
        fill(*project);
        QVERIFY(!project->rebuild(kMonday));
        QVERIFY(!project->rebuild(kMonday));
        project->setTaskText(QStringLiteral("Plan + 2\nBuild + 5\r\nTest + 3 [after plan]\nShip"));
    }
    QString lastShownOnReset;
    connect(&resumed, &Project::aboutToReset, this, [&] { lastShownOnReset = resumed.tasks().back().name; });
    QVERIFY(!resumed.rebuild(kMonday));
    QCOMPARE(lastShownOnReset, QStringLiteral("Call "));

    std::vector<TaskRow> rows;
    QVERIFY(!afresh.rebuildEachRow(kMonday, [&](const TaskRow &row) { rows.push_back(row); }));
    QCOMPARE(resumed.tasks().size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const TaskRow &task = resumed.tasks()[i];
        QCOMPARE(task.name, rows[i].name);
        QCOMPARE(task.startDate, rows[i].startDate);
        QCOMPARE(task.endDate, rows[i].endDate);
        QCOMPARE(task.lineNumber, rows[i].lineNumber);
        QCOMPARE(task.afterRows, rows[i].afterRows);
        QCOMPARE(task.events.size(), rows[i].events.size());
        QVERIFY(task.progress);
        QCOMPARE(task.progress->status, rows[i].progress->status);
        QCOMPARE(task.progress->endsIn, rows[i].progress->endsIn);
    }
    QCOMPARE(resumed.state().NextTaskStart, afresh.state().NextTaskStart);
    QCOMPARE(resumed.state().txtPreviousItemDate, afresh.state().txtPreviousItemDate);
}

void TestProject::textFromRowsBuildsTheSameSchedule()
{
    Project project;
    fill(project);
    QVERIFY(!project.rebuild(kMonday));
    const std::vector<TaskRow> built = project.tasks();
    project.setTaskText(project.taskTextFromRows());
    QCOMPARE(project.taskText(), QStringLiteral("Plan  +2\r\nBuild  +5\r\nCall  +0.5\r\n"));
    QVERIFY(!project.rebuild(kMonday));
    QCOMPARE(project.tasks().size(), built.size());
    for (size_t i = 0; i < built.size(); ++i) {
        QCOMPARE(project.tasks()[i].startDate, built[i].startDate);
        QCOMPARE(project.tasks()[i].endDate, built[i].endDate);
        QCOMPARE(project.tasks()[i].events.size(), built[i].events.size());
    }
}

void TestProject::icsUidsFollowTheId_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("renameKeepsThem");
    QTest::newRow("with an Id") << "5f0c7c1e-2f4b-4c39-9a55-1f4c2b9f0e11" << true;
    QTest::newRow("without, the name gives them") << "" << false;
}

void TestProject::icsUidsFollowTheId()
{
    QFETCH(QString, id);
    QFETCH(bool, renameKeepsThem);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("p.ics"));
    Project project;
    fill(project);
    project.setId(id);
    QVERIFY(!project.rebuild(kMonday));
    const QByteArrayList before = icsUids(project, path);
    QCOMPARE(before.size(), 3);

    // A project whose Id is its name exports exactly what it did before it had one.
    Project named;
    fill(named);
    named.setId(QStringLiteral("Launch"));
    QVERIFY(!named.rebuild(kMonday));
    QCOMPARE(icsUids(named, path) == before, id.isEmpty());

    project.setName(QStringLiteral("Launch, renamed"));
    QVERIFY(!project.rebuild(kMonday));
    QCOMPARE(icsUids(project, path) == before, renameKeepsThem);
}

QTEST_GUILESS_MAIN(TestProject)
#include "tst_project.moc"
