#include "app/ListPrinter.h"
#include "app/TaskListModel.h"
#include "project/Project.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ambrel;

namespace {

const QStringList kTop { QString(), QString(), QString(), QStringLiteral("ListView Print Sample Heading"),
    QString() };

// Keeps what it was asked to print and answers as told.
class RecordingPrinter final : public LinePrinter {
public:
    bool printLines(const QStringList &lines, QString *error) override
    {
        jobs << lines;
        if (!failure.isEmpty() && error)
            *error = failure;
        return failure.isEmpty();
    }

    QList<QStringList> jobs;
    QString failure;
};

std::unique_ptr<QStandardItemModel> listOf(const QList<QStringList> &rows, int columns)
{
    auto model = std::make_unique<QStandardItemModel>(0, columns);
    for (const QStringList &cells : rows) {
        QList<QStandardItem *> items;
        for (const QString &cell : cells)
            items << new QStandardItem(cell);
        model->appendRow(items);
    }
    return model;
}

int pdfPageCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s])"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

} // namespace

class TestListPrinter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void documentLines_data();
    void documentLines();
    void taskListLines();
    void printsThroughThePrinterSeam();
    void pdfBreaksPages_data();
    void pdfBreaksPages();
    void unwritablePdfFails();
};

void TestListPrinter::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestListPrinter::cleanup()
{
    ListPrinter::setPrinter(nullptr);
}

void TestListPrinter::documentLines_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("body");

    QTest::newRow("empty list") << QList<QStringList>() << 4 << QStringList();
    QTest::newRow("cells joined by single blanks")
        << QList<QStringList> { { "P: Plan ", "6/3/2024", "6/5/2024", "3" } } << 4
        << QStringList { "P: Plan  6/3/2024 6/5/2024 3" };
    QTest::newRow("empty last cell leaves a trailing blank")
        << QList<QStringList> { { "A", "B", "" } } << 3 << QStringList { "A B " };
    QTest::newRow("one column") << QList<QStringList> { { "Only" }, { "Rows" } } << 1
                                << QStringList { "Only", "Rows" };
}

void TestListPrinter::documentLines()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(int, columns);
    QFETCH(QStringList, body);

    const auto model = listOf(rows, columns);
    QCOMPARE(ListPrinter::documentLines(*model), kTop + body);
}

void TestListPrinter::taskListLines()
{
    Project project;
    project.begin(QDate(2024, 6, 3));
    project.setWorkingWeekApplies(false);
    project.setTaskText(QStringLiteral("Design + 2.5"));
    QVERIFY(!project.rebuild(QDate(2024, 6, 3)));
    TaskListModel tasks(&project);
    QCOMPARE(ListPrinter::documentLines(tasks),
        kTop + QStringList { "My Project: Design  6/3/2024 6/5/2024 2.5" });
}

void TestListPrinter::printsThroughThePrinterSeam()
{
    RecordingPrinter printer;
    ListPrinter::setPrinter(&printer);
    const auto model = listOf({ { "A", "1" }, { "B", "2" } }, 2);

    QString error;
    QVERIFY(ListPrinter::PrintaListview(*model, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(printer.jobs.size(), 1);
    QCOMPARE(printer.jobs.first(), (kTop + QStringList { "A 1", "B 2" }));

    // A printer's failure reaches the caller, who tells the person.
    printer.failure = QStringLiteral("The printer is out of paper.");
    QVERIFY(!ListPrinter::PrintaListview(*model, &error));
    QCOMPARE(error, printer.failure);
}

void TestListPrinter::pdfBreaksPages_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<bool>("severalPages");

    QTest::newRow("empty list") << 0 << false;
    QTest::newRow("list of several pages") << 400 << true;
}

void TestListPrinter::pdfBreaksPages()
{
    QFETCH(int, rowCount);
    QFETCH(bool, severalPages);

    QList<QStringList> rows;
    for (int i = 0; i < rowCount; ++i)
        rows << QStringList { QStringLiteral("My Project: Task %1").arg(i), "6/3/2024", "6/5/2024", "3" };
    const auto model = listOf(rows, 4);
    const QStringList lines = ListPrinter::documentLines(*model);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("list.pdf"));

    PainterLinePrinter printer(path);
    QString error;
    QVERIFY2(printer.printLines(lines, &error), qPrintable(error));
    QVERIFY(printer.linesPerPage() > 5);
    // Every line lands on a page, only the last page is short, and the heading leads only the first.
    const QList<QStringList> pages = ListPrinter::pages(lines, printer.linesPerPage());
    QStringList printed;
    for (qsizetype page = 0; page < pages.size(); ++page) {
        QVERIFY(!pages[page].isEmpty() && pages[page].size() <= printer.linesPerPage());
        if (page + 1 < pages.size())
            QCOMPARE(pages[page].size(), qsizetype(printer.linesPerPage()));
        QCOMPARE(pages[page].contains(QStringLiteral("ListView Print Sample Heading")), page == 0);
        printed += pages[page];
    }
    QCOMPARE(printed, lines);
    QCOMPARE(pages.size() > 1, severalPages);
    QCOMPARE(printer.pageCount(), int(pages.size()));
    QCOMPARE(pdfPageCount(path), int(pages.size()));
}

void TestListPrinter::unwritablePdfFails()
{
    QTemporaryDir dir;
    PainterLinePrinter printer(dir.filePath(QStringLiteral("missing/folder/list.pdf")));
    QString error;
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!printer.printLines(kTop, &error));
    QVERIFY(error.contains(QStringLiteral("could not be written")));
}

QTEST_MAIN(TestListPrinter)
#include "tst_listprinter.moc"
