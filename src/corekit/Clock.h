#pragma once

#include <QDate>

namespace ambrel {

// Today's date, read afresh at each use. Tests pin it with setToday().
class Clock final {
public:
    static QDate today();
    // An invalid date hands today back to the system clock.
    static void setToday(const QDate &date);
};

} // namespace ambrel
