#pragma once

#include <QString>
#include <QUrl>

class QTextStream;

namespace ambrel {

class Project;

// What --publish asks for.
struct PublishRequest {
    QUrl calendar;
    QString user;
    bool overwrite = false; // replace events edited on the server since
    bool insecure = false; // plain http to a host that is not this machine
};

// Why the address cannot be published to at all (bad usage); empty when it will do.
QString publishAddressRefusal(const PublishRequest &request);

// Publishes the built project to the calendar, its events' UIDs taken from id, and prints the summary line
// to out and each problem to err. Returns the exit status: 0 when everything is on the calendar, 1 when
// something is not, 2 when the address is not a calendar (the calendars found there are listed).
int publishProject(
    const Project &project, const QString &id, const PublishRequest &request, QTextStream &out, QTextStream &err);

} // namespace ambrel
