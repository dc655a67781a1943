#include "publish/CalendarFinder.h"
#include "publish/Publisher.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace ambrel;

namespace {

// A Radicale on this machine, in a scratch folder, for the whole run.
struct LocalServer {
    QTemporaryDir scratch;
    QUrl base;

    LocalServer()
    {
        const QString dir = scratch.filePath(QStringLiteral("radicale"));
        QProcess::execute(QStringLiteral(AMBREL_CALDAV_SCRIPT), { "start", "radicale", dir });
        QFile url(dir + QLatin1String("/url"));
        if (url.open(QIODevice::ReadOnly))
            base = QUrl(QString::fromUtf8(url.readAll()).trimmed());
    }
    ~LocalServer()
    {
        QProcess::execute(QStringLiteral(AMBREL_CALDAV_SCRIPT), { "stop", scratch.filePath("radicale") });
    }
};

LocalServer &server()
{
    static LocalServer instance;
    return instance;
}

std::vector<PublishEvent> plan(int count)
{
    std::vector<EventRow> rows;
    for (int i = 0; i < count; ++i) {
        EventRow row;
        row.description = QStringLiteral("Task %1").arg(i + 1);
        row.subjectBase = QStringLiteral("Bench: ") + row.description;
        row.startDate = QDate(2024, 6, 3).addDays(7 * (i / 10));
        row.endDate = row.startDate.addDays(4);
        rows.push_back(row);
    }
    return *publishEvents({ QStringLiteral("Bench"), QStringLiteral("9 AM"), QStringLiteral("5 PM"),
                              QDateTime::currentDateTimeUtc(), QStringLiteral("bench") },
        rows);
}

// Every event new: one PUT each, a few at a time.
void BM_PublishNew(benchmark::State &state)
{
    const std::vector<PublishEvent> events = plan(int(state.range(0)));
    DavConnection connection(QStringLiteral("tester"), QStringLiteral("secret"));
    QTemporaryDir data;
    for (auto _ : state) {
        state.PauseTiming();
        const CalendarSearch search = findCalendars(connection, server().base);
        const QUrl calendar = *createCalendar(connection, search.home, QStringLiteral("Bench"));
        state.ResumeTiming();
        const PublishOutcome outcome
            = publishAndWait(connection, { calendar, QStringLiteral("bench"), data.path() }, events);
        if (outcome.created != int(events.size()))
            state.SkipWithError(
                qPrintable(outcome.summary() + (outcome.stopped ? outcome.stopped->text : QString())));
    }
}
BENCHMARK(BM_PublishNew)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Nothing changed: one listing, no PUT and no DELETE.
void BM_PublishUnchanged(benchmark::State &state)
{
    const std::vector<PublishEvent> events = plan(int(state.range(0)));
    DavConnection connection(QStringLiteral("tester"), QStringLiteral("secret"));
    QTemporaryDir data;
    const CalendarSearch search = findCalendars(connection, server().base);
    const QUrl calendar = *createCalendar(connection, search.home, QStringLiteral("Bench"));
    const PublishOptions options { calendar, QStringLiteral("bench"), data.path() };
    publishAndWait(connection, options, events);
    for (auto _ : state) {
        const PublishOutcome outcome = publishAndWait(connection, options, events);
        if (outcome.unchanged != int(events.size()))
            state.SkipWithError(
                qPrintable(outcome.summary() + (outcome.stopped ? outcome.stopped->text : QString())));
    }
}
BENCHMARK(BM_PublishUnchanged)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
