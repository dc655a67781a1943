#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace ambrel {

// One resource of a WebDAV multistatus answer, with the properties that came back with status 200.
struct DavEntry {
    QString href; // the path, percent-decoded
    QByteArray etag;
    QString displayName;
    bool isCalendar = false;
    bool isCollection = false;
    bool componentsGiven = false; // whether supported-calendar-component-set came back
    QStringList components; // VEVENT, VTODO, ...
    QString principal; // current-user-principal
    QString calendarHome; // calendar-home-set
};

// The entries of a 207 Multi-Status body; nothing when it is not one.
QList<DavEntry> parseMultistatus(const QByteArray &body, bool *ok = nullptr);

// A PROPFIND body asking for these DAV, CalDAV and CalendarServer properties.
QByteArray propfindBody(const QStringList &davProps, const QStringList &caldavProps);

// The MKCALENDAR body of a calendar for events named displayName.
QByteArray mkcalendarBody(const QString &displayName);

} // namespace ambrel
