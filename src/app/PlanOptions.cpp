#include "app/PlanOptions.h"

#include "app/MainMenus.h"
#include "app/MessageBox.h"
#include "corekit/Clock.h"
#include "project/Project.h"
#include "project/ProjectDocument.h"
#include "project/ProjectSession.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QWidget>

namespace ambrel {

namespace {

// The texts a person reads, in the language the program was started in.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(PlanOptions)
};

} // namespace

QString rightAwayNotice(const Project &project, const QString &path, const QDate &today)
{
    if (path.isEmpty() || project.startsOnPickedDate())
        return {};
    // The file keeps no date for a right-away start; its last save is when the plan stood as saved.
    const QDate saved = QFileInfo(path).lastModified().date();
    if (!saved.isValid() || saved >= today)
        return {};
    return Text::tr("This project starts right away, so it now starts today, not on the day it was "
                    "saved (%1). To keep a start date, choose \"Start this project on\", pick the date "
                    "on the calendar and save the project.")
        .arg(QLocale().toString(saved, QLocale::ShortFormat));
}

void connectPlanOptions(
    QWidget *window, ProjectDocument &document, const Form1Menus &menus, const std::function<void()> &rebuild)
{
    Project &project = document.project();
    QAction *wait = menus.waitParallel;
    QObject::connect(wait, &QAction::triggered, window, [rebuild, wait, &project](bool on) {
        project.setWaitForParallel(on);
        rebuild();
        // A refused build leaves the list as it was, so the option goes back to what the list shows.
        if (project.schedule().waitForParallel != on) {
            project.setWaitForParallel(!on);
            wait->setChecked(!on);
        }
    });
    QObject::connect(
        &document, &ProjectDocument::contentReplaced, window, [window, wait, &document, &project] {
            wait->setChecked(project.waitsForParallel());
            const QString notice = rightAwayNotice(project, document.filePath(), Clock::today());
            if (!notice.isEmpty())
                MessageBox::show(window, notice, Text::tr("Start"), MessageBox::Information);
        });

    menus.csvPerDay->setChecked(ProjectSession::csvPerDay());
    QObject::connect(menus.csvPerDay, &QAction::triggered, window, [window](bool perDay) {
        if (const std::optional<Refusal> failed = ProjectSession::setCsvPerDay(perDay))
            MessageBox::show(window, failed->text, MessageBox::errorTitle(), MessageBox::Exclamation);
    });
}

} // namespace ambrel
