#include "app/UserManual.h"

#include "app/HelpWindow.h"

#include <QCoreApplication>
#include <QPointer>

namespace ambrel {

HelpWindow *UserManual::open(QWidget *parent, const QString &page)
{
    // Reused, so that Back and the search stay where the person left them; it closes with its parent.
    static QPointer<HelpWindow> window;
    if (!window) {
        window = new HelpWindow(HelpWindow::findManual(QCoreApplication::applicationDirPath()), parent);
        window->setObjectName(QStringLiteral("helpWindow"));
    }
    if (!page.isEmpty())
        window->showPage(page);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace ambrel
