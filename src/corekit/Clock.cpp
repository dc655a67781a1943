#include "Clock.h"

namespace ambrel {

namespace {
QDate s_pinnedToday;
QDateTime s_pinnedNow;
}

QDate Clock::today()
{
    return s_pinnedToday.isValid() ? s_pinnedToday : QDate::currentDate();
}

void Clock::setToday(const QDate &date)
{
    s_pinnedToday = date;
}

QDateTime Clock::now()
{
    return s_pinnedNow.isValid() ? s_pinnedNow : QDateTime::currentDateTimeUtc();
}

void Clock::setNow(const QDateTime &moment)
{
    s_pinnedNow = moment;
}

} // namespace ambrel
