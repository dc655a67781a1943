#pragma once

#include <QDate>
#include <QDateTime>

namespace ambrel {

// Today's date, read afresh at each use. Tests pin it with setToday().
class Clock final {
public:
    static QDate today();
    // An invalid date hands today back to the system clock.
    static void setToday(const QDate &date);
    // The moment now, in UTC, for the stamps of exports. Tests pin it with setNow().
    static QDateTime now();
    static void setNow(const QDateTime &moment);
};

} // namespace ambrel
