#include "cli/CommandLine.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // With standard output closed, the next file opened would take its place and receive the output;
    // a read-only stand-in keeps that slot taken and makes every write to it fail, so the failure is seen.
    if (fcntl(STDOUT_FILENO, F_GETFD) == -1 && errno == EBADF) {
        const int standIn = open("/dev/null", O_RDONLY);
        if (standIn >= 0 && standIn != STDOUT_FILENO)
            close(standIn);
    }

    QCoreApplication app(argc, argv);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return 2;
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const int status = ambrel::runCommandLine(app.arguments().mid(1), &input, out, err);

    // A full disk or a closed output shows only once the buffered text is pushed out.
    errno = 0;
    out.flush();
    const bool written = out.status() == QTextStream::Ok && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!written) {
        const int reason = errno;
        err << "ambrel-cli: cannot write the standard output"
            << (reason != 0 ? QStringLiteral(": %1").arg(QString::fromLocal8Bit(std::strerror(reason)))
                            : QString())
            << '\n';
        return 1;
    }
    return status;
}
