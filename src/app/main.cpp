#include "app/Form1.h"
#include "app/MemoryReuse.h"
#include "corekit/AtomicFile.h"
#include "corekit/Paths.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

namespace {

// The theme's icon where the desktop knows it; otherwise the one an install puts beside the program.
QIcon programIcon()
{
    const QString id = QStringLiteral("org.ambrel.Ambrel");
    QIcon installed;
    const QDir icons(ambrel::Paths::iconsFolder());
    for (int size : { 16, 32, 48, 256 }) {
        const QString png = icons.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(id));
        if (QFile::exists(png))
            installed.addFile(png, QSize(size, size));
    }
    return QIcon::fromTheme(id, installed);
}

// The windows in the person's language where Ambrel has it, with Qt's own buttons to match; else in English.
void installTranslations(QApplication &app)
{
    const QLocale locale;
    const std::pair<QString, QString> catalogues[] = { { QStringLiteral("qtbase"),
                                                           QLibraryInfo::path(QLibraryInfo::TranslationsPath) },
        { QStringLiteral("ambrel"), ambrel::Paths::translationsFolder() } };
    for (const auto &[name, folder] : catalogues) {
        auto *translator = new QTranslator(&app);
        if (translator->load(locale, name, QStringLiteral("_"), folder))
            QApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    ambrel::ignoreFileSizeSignal();
    ambrel::keepFreedMemoryForRebuilds();
    QApplication app(argc, argv);
    // No organisation name: it would move the person's folders away from ~/.config/Ambrel.
    QApplication::setApplicationName(QStringLiteral("Ambrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ambrel.Ambrel"));
    QApplication::setWindowIcon(programIcon());
    installTranslations(app);

    // "ambrel FILE" opens that project instead of what was open when the program last closed.
    const QStringList arguments = QApplication::arguments();
    ambrel::Form1 window;
    window.show();
    window.restoreSession(arguments.size() > 1 ? arguments.at(1) : QString());
    return QApplication::exec();
}
