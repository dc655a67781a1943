#pragma once

#include <QString>

class QWidget;

namespace ambrel {

class HelpWindow;

// The one help window of the planner, opened from Help → User Manual and from the messages that point to a
// page of the manual.
class UserManual final {
public:
    // Shows the manual, raised, on page (a file name with an optional anchor) or where it was left.
    static HelpWindow *open(QWidget *parent, const QString &page = QString());
};

} // namespace ambrel
