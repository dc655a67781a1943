#include "app/UserManual.h"

#include "app/HelpWindow.h"
#include "corekit/Paths.h"

#include <QPointer>

namespace ambrel {

HelpWindow *UserManual::open(QWidget *parent, const QString &page)
{
    // Reused, so that Back and the search stay where the person left them; it closes with its parent.
    static QPointer<HelpWindow> window;
    if (!window) {
        window = new HelpWindow(Paths::manualFolder(), parent);
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
