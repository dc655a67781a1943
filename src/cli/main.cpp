#include "cli/CommandLine.h"
#include "corekit/AtomicFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

// A closed standard stream leaves its number free, and the next file opened (the export, a settings file)
// would take it and receive what was meant for the stream. /dev/null opened for reading holds the number,
// and writing to it fails just as writing to the closed stream does.
void holdIfClosed(int stream)
{
    if (fcntl(stream, F_GETFD) != -1 || errno != EBADF)
        return;
    const int held = open("/dev/null", O_RDONLY);
    if (held >= 0 && held != stream) {
        dup2(held, stream);
        close(held);
    }
}

// Qt's own notices (such as a missing runtime folder on the offscreen platform) are not the program's
// output; standard error carries only what Ambrel says, and Qt's errors.
void quietQtNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char *argv[])
{
    ambrel::ignoreFileSizeSignal();
    for (int stream : { STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO })
        holdIfClosed(stream);
    // Drawing a timeline needs fonts, which only a GUI application has; it draws offscreen, with no display.
    bool drawsTimeline = false;
    for (int i = 1; i < argc; ++i)
        drawsTimeline = drawsTimeline || std::strcmp(argv[i], "--timeline") == 0;
    if (drawsTimeline)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQtNotices);
    // The window's name, so that both keep what they published in the same data folder.
    QCoreApplication::setApplicationName(QStringLiteral("Ambrel"));
    const std::unique_ptr<QCoreApplication> app = drawsTimeline
        ? std::make_unique<QGuiApplication>(argc, argv)
        : std::make_unique<QCoreApplication>(argc, argv);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return 2;
    QFile output;
    QFile errors;
    output.open(STDOUT_FILENO, QIODevice::WriteOnly);
    errors.open(STDERR_FILENO, QIODevice::WriteOnly);
    QTextStream out(&output);
    QTextStream err(&errors);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    int status = ambrel::runCommandLine(app->arguments().mid(1), &input, out, err);

    // A full disk or a closed stream shows only once the buffers are written out.
    out.flush();
    const bool written
        = out.status() == QTextStream::Ok && output.flush() && output.error() == QFile::NoError;
    if (!written) {
        err << "ambrel-cli: could not write the output: " << output.errorString() << '\n';
        if (status == 0)
            status = 1;
    }
    err.flush();
    errors.flush();
    return status;
}
