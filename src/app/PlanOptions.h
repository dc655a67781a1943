#pragma once

#include <QDate>
#include <QString>

namespace ambrel {

class Form1;
class Project;
struct Form1Menus;

// What to tell the person who opens the project file at path on today: a project that starts right away,
// saved on an earlier day, now starts today rather than where it stood. Empty when there is nothing to say.
QString rightAwayNotice(const Project &project, const QString &path, const QDate &today);

// The window's options for a plan that holds up over time: Tasks → Wait for parallel tasks (the project's
// own, shown for whatever the window holds), File → CSV: One Event per Working Day (remembered between
// runs), and the right-away notice once a file is opened.
void connectPlanOptions(Form1 *window, const Form1Menus &menus);

} // namespace ambrel
