#include "PublishCommand.h"

#include "corekit/Clock.h"
#include "corekit/Paths.h"
#include "publish/CalendarFinder.h"
#include "publish/DavConnection.h"
#include "publish/ProjectPlan.h"
#include "publish/Publisher.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace ambrel {

namespace {

// Asks on the controlling terminal with echo off, so the password shows neither on screen nor in a log of
// standard output; nothing when there is no terminal to ask on.
std::optional<QString> askPassword(const PublishRequest &request)
{
    FILE *tty = std::fopen("/dev/tty", "r+");
    if (!tty)
        return std::nullopt;
    const int fd = fileno(tty);
    termios before {};
    const bool canHide = tcgetattr(fd, &before) == 0;
    if (canHide) {
        termios hidden = before;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(fd, TCSAFLUSH, &hidden);
    }
    std::fprintf(tty, "Password for %s at %s: ", qPrintable(request.user),
        qPrintable(request.calendar.host()));
    std::fflush(tty);
    QByteArray line;
    for (int c = std::fgetc(tty); c != EOF && c != '\n'; c = std::fgetc(tty))
        line.append(char(c));
    if (canHide)
        tcsetattr(fd, TCSAFLUSH, &before);
    std::fputc('\n', tty);
    std::fclose(tty);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

} // namespace

QString publishAddressRefusal(const PublishRequest &request)
{
    DavConnection check { QString(), QString() };
    check.setInsecureAllowed(request.insecure);
    const std::optional<QString> refusal = check.addressRefusal(request.calendar);
    return refusal ? QStringLiteral("--publish: %1 (--insecure allows it)").arg(*refusal) : QString();
}

int publishProject(
    const Project &project, const QString &id, const PublishRequest &request, QTextStream &out, QTextStream &err)
{
    std::vector<PublishEvent> plan;
    if (const std::optional<QString> refusal = projectPlan(project, id, Clock::now(), &plan)) {
        err << "ambrel-cli: " << *refusal << '\n';
        return 1;
    }

    QString password;
    if (qEnvironmentVariableIsSet("AMBREL_PASSWORD")) {
        password = qEnvironmentVariable("AMBREL_PASSWORD");
    } else if (!request.user.isEmpty()) {
        const std::optional<QString> typed = askPassword(request);
        if (!typed) {
            err << "ambrel-cli: no password for " << request.user
                << ": set AMBREL_PASSWORD or run from a terminal\n";
            return 2;
        }
        password = *typed;
    }
    DavConnection connection(request.user, password);
    connection.setInsecureAllowed(request.insecure);

    const CalendarSearch search = findCalendars(connection, request.calendar);
    if (!search.failure.isEmpty()) {
        err << "ambrel-cli: " << search.failure << '\n';
        return 1;
    }
    if (!search.addressIsCalendar) {
        err << "ambrel-cli: " << request.calendar.toString() << " is not a calendar";
        if (search.calendars.isEmpty()) {
            err << ", and no calendar was found there\n";
        } else {
            err << "; the calendars there:\n";
            for (const CalendarInfo &calendar : search.calendars)
                err << "  " << calendar.url.toString() << '\t' << calendar.displayName << '\n';
        }
        return 2;
    }

    const PublishOptions options { request.calendar, id, Paths::dataFolder(), request.overwrite };
    const PublishOutcome outcome = publishAndWait(connection, options, std::move(plan));
    out << outcome.summary() << '\n';
    for (const QString &event : outcome.editedThere)
        err << "edited on the server, left as it is (--overwrite replaces it): " << event << '\n';
    for (const QString &failure : outcome.failures)
        err << failure << '\n';
    if (!outcome.stopped.isEmpty())
        err << "ambrel-cli: " << outcome.stopped << '\n';
    return outcome.complete() ? 0 : 1;
}

} // namespace ambrel
