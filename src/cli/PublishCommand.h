#pragma once

#include "corekit/Refusal.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

class QTextStream;

namespace ambrel {

class Project;

// What --publish asks for.
struct PublishRequest {
    QUrl calendar; // without user information
    QString user;
    QString password; // from the address; used for this publish only
    bool overwrite = false; // replace events edited on the server since
    bool insecure = false; // plain http to a host that is not this machine
    QList<QByteArray>
        trusted; // certificate fingerprints trusted for the calendar's host, as TlsProblem gives them
    QString projectFile; // the project file published from; empty for standard input
};

// Why the address cannot be published to at all (bad usage); nothing when it will do.
std::optional<Refusal> publishAddressRefusal(const PublishRequest &request);

// Takes the user name and password out of the address into the request; a user name there that differs
// from the one given with --user is bad usage, and refused.
std::optional<Refusal> takeCredentials(PublishRequest &request, const std::optional<QString> &user);

// A SHA-256 fingerprint as openssl prints it, with or without colons, in the form TlsProblem gives;
// empty when it is not one.
QByteArray certificateFingerprint(const QString &text);

// Publishes the built project to the calendar, its events' UIDs taken from id, and prints the summary line
// to out and each problem to err. Returns the exit status: 0 when everything is on the calendar, 1 when
// something is not, 2 when the address is not a calendar (the calendars found there are listed).
int publishProject(
    const Project &project, const QString &id, const PublishRequest &request, QTextStream &out, QTextStream &err);

} // namespace ambrel
