#pragma once

#include <QDate>
#include <QString>

#include <functional>

class QWidget;

namespace ambrel {

class Project;
class ProjectDocument;
struct Form1Menus;

// What to tell the person who opens the project file at path on today: a project that starts right away,
// saved on an earlier day, now starts today rather than where it stood. Empty when there is nothing to say.
QString rightAwayNotice(const Project &project, const QString &path, const QDate &today);

// The window's options for a plan that holds up over time: Tasks → Wait for parallel tasks (the project's
// own, shown for whatever the window holds), File → CSV: One Event per Working Day (remembered between
// runs), and the right-away notice once a file is opened. rebuild builds the plan as the build button does.
void connectPlanOptions(QWidget *window, ProjectDocument &document, const Form1Menus &menus,
    const std::function<void()> &rebuild);

} // namespace ambrel
