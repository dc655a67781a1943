#include "app/Form1.h"
#include "corekit/AtomicFile.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    ambrel::ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ambrel"));

    // "ambrel FILE" opens that project instead of what was open when the program last closed.
    const QStringList arguments = QApplication::arguments();
    ambrel::Form1 window;
    window.show();
    window.restoreSession(arguments.size() > 1 ? arguments.at(1) : QString());
    return QApplication::exec();
}
