#pragma once

#include "publish/DavConnection.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

namespace ambrel {

// A calendar on the server that takes events.
struct CalendarInfo {
    QUrl url;
    QString displayName; // the calendar's name, else the last part of its address
};

// What the server at an address holds for the account.
struct CalendarSearch {
    bool addressIsCalendar = false; // the address itself is a calendar that takes events
    QList<CalendarInfo> calendars;
    QUrl home; // where new calendars go; empty when the server told none
    std::optional<Refusal> failure; // why nothing could be found; nothing on success
    bool unauthorized = false; // the server refused the user name or password
    std::optional<TlsProblem> tls;
};

// Finds the calendars of the account from a server address (the server's, the account's, or a calendar's):
// the address itself, else /.well-known/caldav, then the user's principal, its calendar home, and the
// calendars there that take events. Asynchronous; found is emitted once.
class CalendarFinder final : public QObject {
    Q_OBJECT

public:
    explicit CalendarFinder(DavConnection *connection, QObject *parent = nullptr);
    void find(const QUrl &address);

    // Creates a calendar for events named displayName in home; created gives its address, or why not.
    void createCalendar(const QUrl &home, const QString &displayName);

signals:
    void found(const ambrel::CalendarSearch &search);
    void created(const ambrel::Refusable<QUrl> &calendar);

private:
    void askAddress(const QUrl &address, bool wellKnownTried);
    void askPrincipal(const QUrl &principal);
    void listHome(const QUrl &home);
    bool endOnFailure(const DavResponse &response);
    QUrl followed(const QUrl &from, const QString &href);
    void end();

    DavConnection *m_connection;
    CalendarSearch m_search;
};

// The same, waiting in a local event loop: for the command line.
CalendarSearch findCalendars(DavConnection &connection, const QUrl &address);
Refusable<QUrl> createCalendar(DavConnection &connection, const QUrl &home, const QString &displayName);

// The failure of a request that got no usable answer, naming what was asked for.
QString requestFailure(const DavResponse &response, const QString &what);

} // namespace ambrel
