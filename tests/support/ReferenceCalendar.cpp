#include "ReferenceCalendar.h"

#include <algorithm>

namespace ambrel::testing {

WorkingWeekFlags weekFromText(const char *mondayFirst)
{
    WorkingWeekFlags week {};
    for (int day = 1; day <= 7 && mondayFirst[day - 1] != '\0'; ++day)
        week[day] = qint16(mondayFirst[day - 1] - '0');
    return week;
}

bool referenceIsWorkingDay(const WorkingWeekFlags &week, bool applies, const QDate &date)
{
    if (!applies)
        return true;
    // Sunday = 1 to Saturday = 7 in date arithmetic; the week's index is Monday = 1 to Sunday = 7.
    const int sundayFirst = date.dayOfWeek() % 7 + 1;
    const int index = sundayFirst == 1 ? 7 : sundayFirst - 1;
    return week[index] == 1;
}

namespace {
// A week without a working day would be walked forever; days off can only take days away.
bool hasWorkingDay(const WorkingWeekFlags &week, bool applies)
{
    bool anyWorking = !applies;
    for (int day = 1; day <= 7; ++day)
        anyWorking = anyWorking || week[day] == 1;
    return anyWorking;
}
} // namespace

QDate referenceAddWorkingDays(const WorkingWeekFlags &week, bool applies, const QDate &date, qint64 n)
{
    if (n != 0 && !hasWorkingDay(week, applies))
        return {};
    QDate d = date;
    qint64 k = n;
    while (k != 0) {
        const qint64 s = k > 0 ? 1 : -1;
        d = d.addDays(s);
        if (referenceIsWorkingDay(week, applies, d))
            k -= s;
    }
    return d;
}

bool referenceIsWorkingDay(
    const WorkingWeekFlags &week, bool applies, const std::vector<QDate> &daysOff, const QDate &date)
{
    if (!applies)
        return true;
    return referenceIsWorkingDay(week, applies, date)
        && !std::binary_search(daysOff.begin(), daysOff.end(), date);
}

QDate referenceAddWorkingDays(const WorkingWeekFlags &week, bool applies, const std::vector<QDate> &daysOff,
    const QDate &date, qint64 n)
{
    if (n != 0 && !hasWorkingDay(week, applies))
        return {};
    QDate d = date;
    qint64 k = n;
    while (k != 0) {
        const qint64 s = k > 0 ? 1 : -1;
        d = d.addDays(s);
        if (referenceIsWorkingDay(week, applies, daysOff, d))
            k -= s;
    }
    return d;
}

qint64 referenceRunLength(const WorkingWeekFlags &week, bool applies, const std::vector<QDate> &daysOff,
    const QDate &from, qint64 limit)
{
    qint64 length = 0;
    QDate d = from;
    while (length < limit && referenceIsWorkingDay(week, applies, daysOff, d)) {
        ++length;
        d = d.addDays(1);
    }
    return length;
}

} // namespace ambrel::testing
