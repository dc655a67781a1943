#include "corekit/TextFormat.h"

#include <QTest>

using namespace ambrel;

class TestTextFormat : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void shortDate_data();
    void shortDate();
    void dayCount_data();
    void dayCount();
    void fixedForms_data();
    void fixedForms();
};

void TestTextFormat::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTextFormat::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestTextFormat::shortDate_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");

    QTest::newRow("en_US four-digit year") << "en_US" << QDate(2024, 6, 3) << "6/3/2024";
    QTest::newRow("de_DE") << "de_DE" << QDate(2024, 6, 3) << "03.06.2024";
    QTest::newRow("year 1 keeps four digits") << "en_US" << QDate(1, 1, 1) << "1/1/0001";
    QTest::newRow("ja_JP leap day") << "ja_JP" << QDate(2024, 2, 29) << "2024/02/29";
    QTest::newRow("de_DE year 1") << "de_DE" << QDate(1, 1, 1) << "01.01.0001";
    QTest::newRow("de_DE year 9999") << "de_DE" << QDate(9999, 12, 31) << "31.12.9999";
}

void TestTextFormat::shortDate()
{
    QFETCH(QString, locale);
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(formatShortDate(date, QLocale(locale)), text);
    // Cells are read back into dates, so every form must parse to the same day.
    QCOMPARE(parseShortDate(text, QLocale(locale)), date);
}

void TestTextFormat::dayCount_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("count");
    QTest::addColumn<QString>("text");

    QTest::newRow("half") << "en_US" << 2.5 << "2.5";
    QTest::newRow("negative") << "en_US" << -3.0 << "-3";
    QTest::newRow("no grouping") << "en_US" << 2900000.0 << "2900000";
    QTest::newRow("no exponent") << "en_US" << 1e20 << "100000000000000000000";
    QTest::newRow("shortest decimal") << "en_US" << 0.1 << "0.1";
    QTest::newRow("de_DE no grouping") << "de_DE" << 1234567.25 << "1234567,25";
}

void TestTextFormat::dayCount()
{
    QFETCH(QString, locale);
    QFETCH(double, count);
    QFETCH(QString, text);
    QCOMPARE(formatDayCount(count, QLocale(locale)), text);
    QByteArray bytes;
    appendDayCount(bytes, count);
    QCOMPARE(bytes, formatDayCount(count, QLocale::c()).toUtf8());
}

void TestTextFormat::fixedForms_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("iso");
    QTest::addColumn<QString>("exported");

    QTest::newRow("zero-padded") << QDate(2024, 6, 3) << "2024-06-03"
                                 << "06/03/2024";
    QTest::newRow("year 1") << QDate(1, 1, 1) << "0001-01-01"
                            << "01/01/0001";
    // January and February count with the year before in the civil-date arithmetic.
    QTest::newRow("leap day") << QDate(2024, 2, 29) << "2024-02-29"
                              << "02/29/2024";
    QTest::newRow("no date") << QDate() << ""
                             << "";
    // Outside the years 1 to 9999 the fixed four digits would not hold the year: Qt writes those.
    const QDate beforeYear1(-44, 3, 15);
    QTest::newRow("before year 1") << beforeYear1 << beforeYear1.toString(Qt::ISODate)
                                   << beforeYear1.toString(QStringLiteral("MM/dd/yyyy"));
    const QDate afterYear9999(10000, 1, 2);
    QTest::newRow("after year 9999") << afterYear9999 << afterYear9999.toString(Qt::ISODate)
                                     << afterYear9999.toString(QStringLiteral("MM/dd/yyyy"));
}

void TestTextFormat::fixedForms()
{
    QFETCH(QDate, date);
    QFETCH(QString, iso);
    QFETCH(QString, exported);
    // Neither form may follow the desktop's locale: files and scripts read them.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(formatIsoDate(date), iso);
    QCOMPARE(formatExportDate(date), exported);
    QByteArray bytes;
    appendIsoDate(bytes, date);
    QCOMPARE(bytes, iso.toUtf8());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

QTEST_APPLESS_MAIN(TestTextFormat)
#include "tst_textformat.moc"
