#include "workweek/WorkweekSettings.h"

#include "corekit/Paths.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ambrel;

namespace {
QString messageOf(const std::optional<Refusal> &refusal)
{
    return refusal ? refusal->text : QString();
}
} // namespace

class TestWorkweekSettings : public QObject {
    Q_OBJECT

private slots:
    void init();
    void loadWorkingWeek_data();
    void loadWorkingWeek();
    void missingWeekFileKeepsTheWeek();
    void unreadableFilesSayWhy();
    void hugeWeekFileLoadsQuickly();
    void loadWorkingHours_data();
    void loadWorkingHours();
    void missingHourFiles();
    void firstChoiceWithin_data();
    void firstChoiceWithin();
    void hourChoicesMatchSavedHours();
    void missingHoursFileLeavesNoChoices();
    void saveWritesExactFiles();
    void failedSaveGivesBackEarlierFiles();
    void saveIntoReadOnlyFolderChangesNothing();
    void oneRuleForDaysOff_data();
    void oneRuleForDaysOff();
    void saveSideWritesOnlyItsParts_data();
    void saveSideWritesOnlyItsParts();
    void installedSettingsSaveToThePersonsFolder();

private:
    void write(const char *name, const QByteArray &bytes);
    QByteArray read(const char *name) const;
    QString folder() const { return m_dir->path(); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestWorkweekSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestWorkweekSettings::write(const char *name, const QByteArray &bytes)
{
    QFile file(QDir(folder()).filePath(QString::fromLatin1(name)));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray TestWorkweekSettings::read(const char *name) const
{
    QFile file(QDir(folder()).filePath(QString::fromLatin1(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestWorkweekSettings::loadWorkingWeek_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("flags"); // Monday first

    QTest::newRow("Monday to Friday")
        << QByteArray("1\n1\n1\n1\n1\n0\n0\n") << QList<int> { 1, 1, 1, 1, 1, 0, 0 };
    QTest::newRow("CR LF, no final break")
        << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1") << QList<int> { 0, 0, 0, 0, 0, 0, 1 };
    QTest::newRow("eighth line onward ignored")
        << QByteArray("1\n0\n1\n0\n1\n0\n1\n1\n1\n") << QList<int> { 1, 0, 1, 0, 1, 0, 1 };
    QTest::newRow("short file: missing days are off")
        << QByteArray("1\n1\n") << QList<int> { 1, 1, 0, 0, 0, 0, 0 };
    QTest::newRow("2 and -1 kept, as days off")
        << QByteArray("2\n-1\n1\n1\n1\n0\n0\n") << QList<int> { 2, -1, 1, 1, 1, 0, 0 };
    QTest::newRow("non-numbers are 0")
        << QByteArray("yes\n\n1x\n1\n 1 \n0\n0\n") << QList<int> { 0, 0, 0, 1, 1, 0, 0 };
    QTest::newRow("beyond 16 bits is 0")
        << QByteArray("70000\n-40000\n32767\n1\n1\n1e300\n0\n") << QList<int> { 0, 0, 32767, 1, 1, 0, 0 };
    QTest::newRow("binary bytes") << QByteArray("\xff\xfe\n\x01\n1\n\x80\x80\n1\n\n\n").prepend('\0')
                                  << QList<int> { 0, 0, 1, 0, 1, 0, 0 };
}

void TestWorkweekSettings::loadWorkingWeek()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, flags);
    write(SettingsFile::WorkingWeek, bytes);

    WorkingWeekFlags week;
    week.fill(9);
    QStringList lines;
    QVERIFY(!LoadWorkingWeek(folder(), lines, week));
    QCOMPARE(week[0], qint16(9)); // index 0 is never touched
    for (int day = 1; day <= 7; ++day)
        QCOMPARE(int(week[day]), flags[day - 1]);

    // Only a flag of exactly 1 makes a working day.
    const WorkingCalendar calendar(week, true);
    const QDate monday(2024, 6, 3);
    for (int day = 1; day <= 7; ++day)
        QCOMPARE(calendar.IsWorkingDay(monday.addDays(day - 1)), flags[day - 1] == 1);
}

void TestWorkweekSettings::missingWeekFileKeepsTheWeek()
{
    WorkingWeekFlags week {};
    week[3] = 1;
    QStringList lines { QStringLiteral("stale") };
    QCOMPARE(messageOf(LoadWorkingWeek(folder(), lines, week)),
        QStringLiteral("Error: workingweek.txt file not found. Please reinstall the software."));
    QVERIFY(lines.isEmpty());
    QCOMPARE(week[3], qint16(1));
}

void TestWorkweekSettings::unreadableFilesSayWhy()
{
    QVERIFY(QDir(folder()).mkdir(QStringLiteral("workingweek.txt")));
    WorkingWeekFlags week { 0, 1, 1, 1, 1, 1, 0, 0 };
    QStringList lines;
    QCOMPARE(messageOf(LoadWorkingWeek(folder(), lines, week)),
        QStringLiteral("Error: workingweek.txt could not be read (it is a folder). Please check the file."));
    QCOMPARE(week[1], qint16(1)); // not taken as a week without working days

    // The settings as a whole: each file's trouble in the order the files are read.
    const QList<Refusal> messages = loadSettings(folder()).messages;
    QCOMPARE(messages.size(), 2);
    QVERIFY(messages[0].text.contains(QLatin1String("workingday_starts_at.txt")));
    QVERIFY(messages[1].text.contains(QLatin1String("workingweek.txt")));
}

void TestWorkweekSettings::hugeWeekFileLoadsQuickly()
{
    QByteArray bytes("1\n0\n1\n0\n1\n0\n1\n");
    bytes += QByteArray(64 << 20, '7');
    write(SettingsFile::WorkingWeek, bytes);
    WorkingWeekFlags week {};
    QStringList lines;
    QVERIFY(!LoadWorkingWeek(folder(), lines, week));
    // Only the first mebibyte is read, however large the file.
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines.last().size(), (1 << 20) - 14);
    QCOMPARE(week[1], qint16(1));
    QCOMPARE(week[7], qint16(1));
}

void TestWorkweekSettings::loadWorkingHours_data()
{
    QTest::addColumn<QByteArray>("starts");
    QTest::addColumn<QString>("expected");

    QTest::newRow("every line break dropped") << QByteArray("09:00\r\n AM\n\r") << "09:00 AM";
    QTest::newRow("UTF-8") << QByteArray("9 h \xC3\xA0 midi") << QStringLiteral("9 h à midi");
}

void TestWorkweekSettings::loadWorkingHours()
{
    QFETCH(QByteArray, starts);
    QFETCH(QString, expected);
    write(SettingsFile::StartsAt, starts);
    write(SettingsFile::EndsAt, "05:00 PM\r\n");
    WorkingHours hours;
    QVERIFY(!LoadWorkingHours(folder(), hours));
    QCOMPARE(hours.starts, expected);
    QCOMPARE(hours.endsAt, QStringLiteral("05:00 PM"));
}

void TestWorkweekSettings::missingHourFiles()
{
    WorkingHours hours;
    QCOMPARE(messageOf(LoadWorkingHours(folder(), hours)),
        QStringLiteral("Error: workingday_starts_at.txt file not found. Please reinstall the software."));
    QVERIFY(hours.starts.isEmpty() && hours.endsAt.isEmpty());

    write(SettingsFile::StartsAt, "08:00 AM");
    QCOMPARE(messageOf(LoadWorkingHours(folder(), hours)),
        QStringLiteral("Error: workingday_ends_at.txt file not found. Please reinstall the software."));
    QCOMPARE(hours.starts, QStringLiteral("08:00 AM"));
    QVERIFY(hours.endsAt.isEmpty());
}

void TestWorkweekSettings::firstChoiceWithin_data()
{
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<int>("index");

    const QStringList hours { "08:30 AM", "09:00 AM", "05:00 PM", "11:30 PM" };
    QTest::newRow("exact") << hours << "05:00 PM" << 2;
    QTest::newRow("trailing CR LF does no harm") << hours << "09:00 AM\r\n" << 1;
    QTest::newRow("no match leaves the last") << hours << "noon" << 3;
    QTest::newRow("case-sensitive") << hours << "09:00 am" << 3;
    QTest::newRow("first choice inside the text wins") << QStringList { "9:00", "09:00" } << "09:00" << 0;
    QTest::newRow("no choices") << QStringList() << "09:00 AM" << -1;
}

void TestWorkweekSettings::firstChoiceWithin()
{
    QFETCH(QStringList, choices);
    QFETCH(QString, saved);
    QFETCH(int, index);
    QCOMPARE(ambrel::firstChoiceWithin(choices, saved), index);
}

void TestWorkweekSettings::hourChoicesMatchSavedHours()
{
    write(SettingsFile::Hours, "08:30 AM\r\n09:00 AM\r\n05:00 PM\r\n");
    QStringList choices;
    QVERIFY(!loadHourChoices(folder(), choices));
    QCOMPARE(choices, (QStringList { "08:30 AM", "09:00 AM", "05:00 PM" }));
    QCOMPARE(ambrel::firstChoiceWithin(choices, QStringLiteral("09:00 AM\r\n")), 1);
}

void TestWorkweekSettings::missingHoursFileLeavesNoChoices()
{
    QStringList choices;
    QCOMPARE(messageOf(loadHourChoices(folder(), choices)),
        QStringLiteral("Error: hours.txt file not found. Please reinstall the software."));
    QVERIFY(choices.isEmpty());
}

void TestWorkweekSettings::saveWritesExactFiles()
{
    const WorkingWeekFlags week { 0, 1, 1, 2, 1, 1, 0, 1 };
    QVERIFY(!SaveWorkingSettings(folder(), { "08:30 AM", "04:30 PM" }, week));
    QCOMPARE(read(SettingsFile::StartsAt), QByteArray("08:30 AM"));
    QCOMPARE(read(SettingsFile::EndsAt), QByteArray("04:30 PM"));
    // Only 0 and 1 are written; the 2 was no working day and stays none.
    QCOMPARE(read(SettingsFile::WorkingWeek), QByteArray("1\n1\n0\n1\n1\n0\n1\n"));
}

void TestWorkweekSettings::failedSaveGivesBackEarlierFiles()
{
    write(SettingsFile::StartsAt, "09:00 AM\r\n\xff"); // bytes that are not UTF-8 come back too
    // workingweek.txt is written last; a folder in its place makes that write fail for any user.
    QVERIFY(QDir(folder()).mkdir(QString::fromLatin1(SettingsFile::WorkingWeek)));

    const QString week = QDir(folder()).filePath(QString::fromLatin1(SettingsFile::WorkingWeek));
    const QString failed
        = messageOf(SaveWorkingSettings(folder(), { "07:00 AM", "03:00 PM" }, WorkingWeekFlags {}));
    QVERIFY2(failed.startsWith(QStringLiteral("Could not save %1: ").arg(QDir::toNativeSeparators(week))),
        qPrintable(failed));
    QCOMPARE(read(SettingsFile::StartsAt), QByteArray("09:00 AM\r\n\xff"));
    QCOMPARE(read(SettingsFile::EndsAt), QByteArray("<missing>"));
}

void TestWorkweekSettings::saveIntoReadOnlyFolderChangesNothing()
{
    write(SettingsFile::WorkingWeek, "1\n1\n1\n1\n1\n0\n0\n");
    const auto writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (!testing::makeReadOnlyFolder(folder())) {
        QFile::setPermissions(folder(), writable);
        QSKIP("this user may write into a read-only folder");
    }
    const std::optional<Refusal> failed
        = SaveWorkingSettings(folder(), { "07:00 AM", "03:00 PM" }, WorkingWeekFlags {});
    QFile::setPermissions(folder(), writable);
    QVERIFY(failed);
    QCOMPARE(read(SettingsFile::WorkingWeek), QByteArray("1\n1\n1\n1\n1\n0\n0\n"));
    QCOMPARE(read(SettingsFile::StartsAt), QByteArray("<missing>"));
}

void TestWorkweekSettings::saveSideWritesOnlyItsParts_data()
{
    QTest::addColumn<int>("parts");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("week and hours") << int(SettingsParts::All)
                                    << QStringList { "workingday_starts_at.txt", "workingday_ends_at.txt",
                                           "workingweek.txt" };
    QTest::newRow("days off") << int(SettingsParts::DaysOff) << QStringList { "holidays.txt" };
}

// What the save side writes, the loader reads back whole, names of the days off included; the parts not
// asked for keep their files.
void TestWorkweekSettings::saveSideWritesOnlyItsParts()
{
    QFETCH(int, parts);
    QFETCH(QStringList, written);

    Settings settings;
    settings.WorkingWeek = { 0, 1, 1, 0, 1, 1, 0, 0 };
    settings.hours = { QStringLiteral("08:30 AM"), QStringLiteral("04:00 PM") };
    settings.setDaysOff({ { QDate(2026, 12, 25), QStringLiteral("Christmas Day") }, { QDate(2027, 1, 1), {} } });
    QVERIFY(!saveSettings(folder(), settings, SettingsParts(parts)));
    QStringList files = QDir(folder()).entryList(QDir::Files);
    written.sort();
    QCOMPARE(files, written);

    const LoadedSettings loaded = loadSettings(folder());
    if (parts & int(SettingsParts::All)) {
        QCOMPARE(loaded.settings.WorkingWeek, settings.WorkingWeek);
        QCOMPARE(loaded.settings.hours.starts, settings.hours.starts);
        QCOMPARE(loaded.settings.hours.endsAt, settings.hours.endsAt);
    } else {
        QCOMPARE(loaded.settings.namedDaysOff, settings.namedDaysOff);
        QCOMPARE(loaded.settings.daysOff, settings.daysOff);
    }

    // A failed save says which file, and leaves what was there.
    const QByteArray before = read(written.front().toLatin1().constData());
    QVERIFY(QFile::remove(QDir(folder()).filePath(written.back())));
    QVERIFY(QDir(folder()).mkdir(written.back()));
    settings.hours.starts = QStringLiteral("07:00 AM");
    settings.setDaysOff({});
    const std::optional<Refusal> failed = saveSettings(folder(), settings, SettingsParts(parts));
    QVERIFY(failed);
    QVERIFY2(failed->text.contains(written.back()), qPrintable(failed->text));
    if (written.size() > 1)
        QCOMPARE(read(written.front().toLatin1().constData()), before);
}

// An installed program reads the shipped files until the person saves; the save creates their folder and
// leaves the shipped files as they were.
void TestWorkweekSettings::installedSettingsSaveToThePersonsFolder()
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir prefix;
    const QDir shipped(prefix.filePath(QStringLiteral("share/ambrel")));
    QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("bin"))) && QDir().mkpath(shipped.path()));
    const auto put = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QVERIFY(put(shipped.filePath(QStringLiteral("workingweek.txt")), "1\n1\n1\n1\n1\n0\n0\n"));
    QVERIFY(put(shipped.filePath(QStringLiteral("workingday_starts_at.txt")), "09:00 AM"));
    QVERIFY(put(shipped.filePath(QStringLiteral("workingday_ends_at.txt")), "05:00 PM"));
    QVERIFY(put(shipped.filePath(QStringLiteral("hours.txt")), "08:00 AM\n09:00 AM\n"));
    Paths::setProgramFolder(prefix.filePath(QStringLiteral("bin")));
    QDir(Paths::settingsFolder()).removeRecursively();

    LoadedSettings loaded = loadSettings(Paths::settingsFolder());
    QVERIFY(loaded.messages.isEmpty());
    QCOMPARE(loaded.settings.hours.starts, QStringLiteral("09:00 AM"));
    QCOMPARE(loaded.settings.WorkingWeek[6], qint16(0));
    QStringList choices;
    QVERIFY(!loadHourChoices(Paths::settingsFolder(), choices));
    QCOMPARE(choices, (QStringList { "08:00 AM", "09:00 AM" }));

    WorkingWeekFlags everyDay {};
    for (int day = 1; day <= 7; ++day)
        everyDay[day] = 1;
    QVERIFY(!SaveWorkingSettings(
        Paths::settingsFolder(), { QStringLiteral("08:00 AM"), QStringLiteral("04:00 PM") }, everyDay));
    loaded = loadSettings(Paths::settingsFolder());
    QCOMPARE(loaded.settings.hours.starts, QStringLiteral("08:00 AM"));
    QCOMPARE(loaded.settings.WorkingWeek[6], qint16(1));
    QVERIFY(QFile::exists(Paths::settingsFile(QStringLiteral("workingweek.txt"))));
    QFile shippedWeek(shipped.filePath(QStringLiteral("workingweek.txt")));
    QVERIFY(shippedWeek.open(QIODevice::ReadOnly));
    QCOMPARE(shippedWeek.readAll(), QByteArray("1\n1\n1\n1\n1\n0\n0\n"));
    QDir(Paths::settingsFolder()).removeRecursively();
    Paths::setProgramFolder(QString());
}

QTEST_GUILESS_MAIN(TestWorkweekSettings)
#include "tst_workweeksettings.moc"

void TestWorkweekSettings::oneRuleForDaysOff_data()
{
    QTest::addColumn<QString>("holidays"); // "missing", "folder", or the file's text
    QTest::addColumn<QString>("named"); // --days-off: "" none given, "-" an empty path, else a file name
    QTest::addColumn<int>("days");
    QTest::addColumn<QStringList>("skipped");
    QTest::addColumn<QString>("error"); // "PATH" stands for the named or default file's path

    QTest::newRow("missing holidays.txt: no days off, silently")
        << "missing" << "" << 0 << QStringList() << QString();
    QTest::newRow("holidays.txt read, a bad line told")
        << "2024-06-04 Holiday\nnot a date\n" << "" << 1
        << QStringList { R"(holidays.txt line 2: "not" is not a date of the form YYYY-MM-DD)" } << QString();
    QTest::newRow("unreadable holidays.txt: an error naming it")
        << "folder" << "" << 0 << QStringList() << "cannot read PATH: it is not a file";
    QTest::newRow("a named file that is missing: an error naming it")
        << "2024-06-04\n" << "gone.txt" << 0 << QStringList() << "cannot read PATH: no such file";
    QTest::newRow("an empty name: none, whatever holidays.txt says")
        << "2024-06-04\n" << "-" << 0 << QStringList() << QString();
}

void TestWorkweekSettings::oneRuleForDaysOff()
{
    QFETCH(QString, holidays);
    QFETCH(QString, named);
    QFETCH(int, days);
    QFETCH(QStringList, skipped);
    QFETCH(QString, error);
    const QString holidaysPath = QDir(folder()).filePath(QStringLiteral("holidays.txt"));
    if (holidays == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(holidaysPath));
    else if (holidays != QLatin1String("missing"))
        write("holidays.txt", holidays.toUtf8());

    SettingsRequest request;
    QString path = holidaysPath;
    if (named == QLatin1String("-"))
        request.daysOffFile = QString();
    else if (!named.isEmpty())
        request.daysOffFile = path = QDir(folder()).filePath(named);
    const LoadedSettings loaded = loadSettings(folder(), request);

    QCOMPARE(int(loaded.settings.daysOff.size()), days);
    QCOMPARE(loaded.skippedDaysOff, skipped);
    QCOMPARE(loaded.daysOffError ? loaded.daysOffError->text : QString(), QString(error).replace("PATH", path));
    QVERIFY(loaded.messages.isEmpty() == false); // the folder holds no week or hour files: each is told
}
