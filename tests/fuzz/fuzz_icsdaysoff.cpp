// Days off from iCalendar text: any bytes as a calendar, read where the person is in Berlin.
#include "FuzzChecks.h"

#include "calendarimport/IcsDaysOff.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <optional>

using namespace ambrel;

namespace {

const int kThisYear = 2026;

// The text as the import reads it, a calendar in UTF-16 or UTF-32 decoded.
QString textOf(const QByteArray &ics)
{
    const std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(ics, u'B');
    if (encoding && *encoding != QStringConverter::Utf8)
        return QStringDecoder(*encoding).decode(ics);
    return QString::fromLatin1(ics);
}

// The earliest and latest dates written anywhere in the text as YYYYMMDD, with the window around this
// year: no date the import takes may lie outside them (a day either way for a time zone).
std::pair<QDate, QDate> datesNamed(const QString &text)
{
    QDate first(kThisYear, 1, 1);
    QDate last(kThisYear + IcsDaysOff::LastYearAfterThis, 12, 31);
    static const QRegularExpression date(QStringLiteral("(\\d{4})(\\d{2})(\\d{2})"));
    for (auto match = date.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        const QDate named(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!named.isValid())
            continue;
        first = std::min(first, named);
        last = std::max(last, named);
    }
    return { first.addDays(-1), last.addDays(1) };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    pinLocaleOnce();
    const QByteArray ics(reinterpret_cast<const char *>(data), qsizetype(size));
    IcsImportOptions options;
    options.zone = QTimeZone("Europe/Berlin");
    // Sanitizers make a step some ten times slower; the budget keeps a calendar well inside the timeout.
    options.maxSteps = IcsDaysOff::MaxStepsPerEvent / 4;
    const Refusable<IcsDaysOffImport> read = IcsDaysOff::read(ics, kThisYear, options);
    // A calendar refused whole says why.
    if (read.refused()) {
        FUZZ_REQUIRE(!read.refusal().text.isEmpty());
        return 0;
    }
    const IcsDaysOffImport &imported = *read;

    // Every rule is walked within its count of steps.
    FUZZ_REQUIRE(imported.steps <= options.maxSteps + IcsDaysOff::MaxStepsPerEvent);

    // A capped import says so, and names what it could not take.
    FUZZ_REQUIRE(imported.capped == !imported.capNote.isEmpty());
    FUZZ_REQUIRE(!imported.capped || !imported.leftOut.empty());
    for (const IcsLeftOut &event : imported.leftOut)
        FUZZ_REQUIRE(!event.reason.isEmpty() && event.line >= 0);

    // Dates found are in order, once each, within what the calendar names; the days taken are the all-day
    // ones.
    FUZZ_REQUIRE(imported.found.size() <= size_t(IcsDaysOff::MaxDates));
    const QString text = textOf(ics);
    const auto [first, last] = datesNamed(text);
    const bool spansByDuration = text.contains(QLatin1String("DURATION"), Qt::CaseInsensitive);
    std::vector<DayOff> allDay;
    for (std::size_t i = 0; i < imported.found.size(); ++i) {
        const IcsFoundDate &found = imported.found[i];
        FUZZ_REQUIRE(found.date.isValid() && found.date.year() >= 1 && found.date.year() <= 9999);
        FUZZ_REQUIRE(i == 0 || imported.found[i - 1].date < found.date);
        // An all-day DURATION may carry a span past every date written.
        FUZZ_REQUIRE(found.date >= first && (found.date <= last || spansByDuration));
        FUZZ_REQUIRE(found.name == DaysOff::cleanName(found.name));
        FUZZ_REQUIRE(found.allDay || found.begins.isValid());
        if (found.allDay)
            allDay.push_back({ found.date, found.name });
    }
    FUZZ_REQUIRE(allDay == imported.days);
    return 0;
}
