#include "Clock.h"

namespace ambrel {

namespace {
QDate s_pinnedToday;
}

QDate Clock::today()
{
    return s_pinnedToday.isValid() ? s_pinnedToday : QDate::currentDate();
}

void Clock::setToday(const QDate &date)
{
    s_pinnedToday = date;
}

} // namespace ambrel
