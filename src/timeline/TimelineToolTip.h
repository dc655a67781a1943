#pragma once

#include "timeline/TimelineData.h"

#include <QDate>
#include <QLocale>
#include <QString>

namespace ambrel {

// What a bar's tooltip says about its task, as plain lines: the text, its dates in the list's form, the day
// count, the status on today, its share done, whether it is a milestone, the tasks it starts after and how
// many calendar events it makes, with a word on why a bar looks odd.
class TimelineToolTip final {
public:
    static QString text(const TimelineTask &task, const QDate &today, const QLocale &locale = QLocale());
    // The same text as rich text with the task's own characters escaped, for QToolTip.
    static QString html(const TimelineTask &task, const QDate &today, const QLocale &locale = QLocale());
};

} // namespace ambrel
