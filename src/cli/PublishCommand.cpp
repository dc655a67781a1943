#include "PublishCommand.h"

#include "corekit/Clock.h"
#include "corekit/Paths.h"
#include "publish/CalendarFinder.h"
#include "publish/DavConnection.h"
#include "publish/ProjectPlan.h"
#include "publish/PublishTargets.h"
#include "publish/Publisher.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cctype>
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

std::optional<Refusal> takeCredentials(PublishRequest &request, const std::optional<QString> &user)
{
    const QString named = request.calendar.userName();
    request.password = request.calendar.password();
    request.calendar = request.calendar.adjusted(QUrl::RemoveUserInfo);
    if (!named.isEmpty() && user && *user != named)
        return Refusal {
            QStringLiteral("--user %1 differs from the user %2 in the --publish address").arg(*user, named)
        };
    request.user = user ? *user : named;
    if (request.user.isEmpty())
        return Refusal { QStringLiteral("--publish needs --user NAME") };
    return std::nullopt;
}

QByteArray certificateFingerprint(const QString &text)
{
    QByteArray hex = text.trimmed().toLatin1().toUpper();
    // openssl prints "sha256 Fingerprint=AB:CD:..."; the part after '=' is what counts.
    hex = hex.mid(hex.lastIndexOf('=') + 1).replace(':', "");
    if (hex.size() != 64
        || !std::all_of(hex.cbegin(), hex.cend(), [](char c) { return std::isxdigit(uchar(c)); }))
        return {};
    return QByteArray::fromHex(hex).toHex(':').toUpper();
}

std::optional<Refusal> publishAddressRefusal(const PublishRequest &request)
{
    DavConnection check { QString(), QString() };
    check.setInsecureAllowed(request.insecure);
    std::optional<Refusal> refusal = check.addressRefusal(request.calendar);
    if (refusal)
        refusal->text = QStringLiteral("--publish: %1 (--insecure allows it)").arg(refusal->text);
    return refusal;
}

int publishProject(
    const Project &project, const QString &id, const PublishRequest &request, QTextStream &out, QTextStream &err)
{
    Refusable<std::vector<PublishEvent>> plan = projectPlan(project, id, Clock::now());
    if (plan.refused()) {
        err << "ambrel-cli: " << plan.refusal().text << '\n';
        return 1;
    }

    QString password = request.password;
    if (!password.isEmpty()) {
        // Given in the address: used for this publish, and kept nowhere.
    } else if (qEnvironmentVariableIsSet("AMBREL_PASSWORD")) {
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
    // The certificates the window was told to trust, and those given here.
    const QHash<QString, QSet<QByteArray>> trusted = loadTrustedCertificates(Paths::dataFolder());
    for (auto it = trusted.cbegin(); it != trusted.cend(); ++it) {
        for (const QByteArray &fingerprint : it.value())
            connection.trustCertificate(it.key(), fingerprint);
    }
    for (const QByteArray &fingerprint : request.trusted)
        connection.trustCertificate(request.calendar.host(), fingerprint);

    const CalendarSearch search = findCalendars(connection, request.calendar);
    if (search.failure) {
        err << "ambrel-cli: " << search.failure->text << '\n';
        if (search.tls)
            err << "ambrel-cli: --trust-certificate " << search.tls->fingerprint
                << " trusts it, if it is the server's own\n";
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

    // The address the server answered at, after any redirect, is the one the record knows the calendar by.
    const QUrl calendar = search.calendars.first().url;
    const QString other = otherFileWithId(Paths::dataFolder(), id, calendar, request.projectFile);
    if (!other.isEmpty()) {
        err << "ambrel-cli: " << other << " was published to this calendar under the same project Id and "
            << "still holds it; publishing " << request.projectFile << " takes over its events (Save As in "
            << "the window gives a copy an Id of its own)\n";
    }
    PublishOptions options { calendar, id, Paths::dataFolder(), request.overwrite };
    options.projectFile = request.projectFile;
    const PublishOutcome outcome = publishAndWait(connection, options, std::move(*plan));
    out << outcome.summary() << '\n';
    for (const QString &event : outcome.editedThere)
        err << "edited on the server, left as it is (--overwrite replaces it): " << event << '\n';
    for (const QString &failure : outcome.failures)
        err << failure << '\n';
    if (outcome.stopped)
        err << "ambrel-cli: " << outcome.stopped->text << '\n';
    if (outcome.notACalendar)
        return 2;
    return outcome.complete() ? 0 : 1;
}

} // namespace ambrel
