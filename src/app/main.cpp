#include "app/Form1.h"
#include "corekit/AtomicFile.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStringList>

namespace {

// The theme's icon where the desktop knows it; otherwise the one an install puts beside the program.
QIcon programIcon()
{
    const QString id = QStringLiteral("org.ambrel.Ambrel");
    QIcon installed;
    const QDir icons(QApplication::applicationDirPath() + QStringLiteral("/../share/icons/hicolor"));
    for (int size : { 16, 32, 48, 256 }) {
        const QString png = icons.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(id));
        if (QFile::exists(png))
            installed.addFile(png, QSize(size, size));
    }
    return QIcon::fromTheme(id, installed);
}

} // namespace

int main(int argc, char *argv[])
{
    ambrel::ignoreFileSizeSignal();
    QApplication app(argc, argv);
    // No organisation name: it would move the person's folders away from ~/.config/Ambrel.
    QApplication::setApplicationName(QStringLiteral("Ambrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ambrel.Ambrel"));
    QApplication::setWindowIcon(programIcon());

    // "ambrel FILE" opens that project instead of what was open when the program last closed.
    const QStringList arguments = QApplication::arguments();
    ambrel::Form1 window;
    window.show();
    window.restoreSession(arguments.size() > 1 ? arguments.at(1) : QString());
    return QApplication::exec();
}
