#include "CalendarFinder.h"

#include "publish/DavXml.h"

#include <QEventLoop>
#include <QUuid>

namespace ambrel {

namespace {

const QList<DavConnection::Header> kDepth0 { { "Depth", "0" },
    { "Content-Type", "application/xml; charset=utf-8" } };
const QList<DavConnection::Header> kDepth1 { { "Depth", "1" },
    { "Content-Type", "application/xml; charset=utf-8" } };

bool takesEvents(const DavEntry &entry)
{
    return entry.isCalendar && (!entry.componentsGiven || entry.components.contains(QLatin1String("VEVENT")));
}

QString lastPart(const QUrl &url)
{
    const QStringList parts = url.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.toDisplayString() : parts.last();
}

QUrl asCollection(QUrl url)
{
    if (!url.path().endsWith(QLatin1Char('/')))
        url.setPath(url.path() + QLatin1Char('/'));
    return url;
}

} // namespace

QString requestFailure(const DavResponse &response, const QString &what)
{
    if (!response.answered())
        return response.failure;
    if (response.status == 401)
        return QStringLiteral("%1 refused the user name or password (401 %2).")
            .arg(response.url.host(), response.reason);
    if (response.status == 207)
        return QStringLiteral("%1 answered for %2 with a listing that could not be read (not well-formed "
                              "XML, entities or text that is not UTF-8).")
            .arg(response.url.host(), what);
    return QStringLiteral("%1 refused %2: %3 %4")
        .arg(response.url.host(), what)
        .arg(response.status)
        .arg(response.reason);
}

CalendarFinder::CalendarFinder(DavConnection *connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
{
}

void CalendarFinder::find(const QUrl &address)
{
    m_search = {};
    askAddress(address, false);
}

QUrl CalendarFinder::followed(const QUrl &from, const QString &href)
{
    const QUrl to = from.resolved(QUrl(href));
    if (std::optional<Refusal> refusal = m_connection->foreignRefusal(from, to)) {
        m_search.failure = std::move(refusal);
        end();
        return {};
    }
    return to;
}

bool CalendarFinder::endOnFailure(const DavResponse &response)
{
    bool readable = false;
    if (response.status == 207)
        parseMultistatus(response.body, &readable);
    if (readable)
        return false;
    m_search.failure = Refusal { requestFailure(
        response, QStringLiteral("the calendar search at %1").arg(response.url.toDisplayString())) };
    m_search.unauthorized = response.status == 401;
    m_search.tls = response.tls;
    end();
    return true;
}

void CalendarFinder::askAddress(const QUrl &address, bool wellKnownTried)
{
    const QByteArray body = propfindBody({ QStringLiteral("resourcetype"), QStringLiteral("displayname"),
                                             QStringLiteral("current-user-principal") },
        { QStringLiteral("supported-calendar-component-set"), QStringLiteral("calendar-home-set") });
    m_connection->send(
        "PROPFIND", address, kDepth0, body, [this, address, wellKnownTried](const DavResponse &r) {
            const QList<DavEntry> entries = r.status == 207 ? parseMultistatus(r.body) : QList<DavEntry>();
            const DavEntry entry = entries.isEmpty() ? DavEntry() : entries.first();
            if (r.status == 207 && takesEvents(entry)) {
                m_search.addressIsCalendar = true;
                m_search.calendars << CalendarInfo { r.url,
                    entry.displayName.isEmpty() ? lastPart(r.url) : entry.displayName };
                end();
                return;
            }
            if (r.status == 207 && !entry.calendarHome.isEmpty()) {
                if (const QUrl home = followed(r.url, entry.calendarHome); !home.isEmpty())
                    listHome(home);
                return;
            }
            if (r.status == 207 && !entry.principal.isEmpty()) {
                if (const QUrl principal = followed(r.url, entry.principal); !principal.isEmpty())
                    askPrincipal(principal);
                return;
            }
            // Only an answer that says nothing useful sends the search on; a refused password or a
            // certificate would be refused again there.
            if (!wellKnownTried && r.status != 401 && r.answered()) {
                askAddress(address.resolved(QUrl(QStringLiteral("/.well-known/caldav"))), true);
                return;
            }
            if (!endOnFailure(r)) {
                m_search.failure = Refusal {
                    QStringLiteral("No calendar server answers at %1.").arg(address.toDisplayString())
                };
                end();
            }
        });
}

void CalendarFinder::askPrincipal(const QUrl &principal)
{
    const QByteArray body = propfindBody({}, { QStringLiteral("calendar-home-set") });
    m_connection->send("PROPFIND", principal, kDepth0, body, [this](const DavResponse &r) {
        if (endOnFailure(r))
            return;
        const QList<DavEntry> entries = parseMultistatus(r.body);
        if (entries.isEmpty() || entries.first().calendarHome.isEmpty()) {
            m_search.failure
                = Refusal { QStringLiteral("%1 names no calendars for this account.").arg(r.url.host()) };
            end();
            return;
        }
        if (const QUrl home = followed(r.url, entries.first().calendarHome); !home.isEmpty())
            listHome(home);
    });
}

void CalendarFinder::listHome(const QUrl &home)
{
    m_search.home = asCollection(home);
    const QByteArray body = propfindBody({ QStringLiteral("resourcetype"), QStringLiteral("displayname") },
        { QStringLiteral("supported-calendar-component-set") });
    m_connection->send("PROPFIND", m_search.home, kDepth1, body, [this](const DavResponse &r) {
        if (endOnFailure(r))
            return;
        for (const DavEntry &entry : parseMultistatus(r.body)) {
            if (!takesEvents(entry))
                continue;
            const QUrl url
                = r.url.resolved(QUrl(QString::fromUtf8(QUrl::toPercentEncoding(entry.href, "/"))));
            m_search.calendars << CalendarInfo { url,
                entry.displayName.isEmpty() ? lastPart(url) : entry.displayName };
        }
        end();
    });
}

void CalendarFinder::end()
{
    emit found(m_search);
}

void CalendarFinder::createCalendar(const QUrl &home, const QString &displayName)
{
    const QUrl calendar = asCollection(home).resolved(
        QUrl(QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('/')));
    m_connection->send("MKCALENDAR", calendar, { { "Content-Type", "application/xml; charset=utf-8" } },
        mkcalendarBody(displayName), [this, calendar, displayName](const DavResponse &r) {
            if (r.status == 201)
                emit created(calendar);
            else
                emit created(Refusal {
                    requestFailure(r, QStringLiteral("the new calendar \"%1\"").arg(displayName)) });
        });
}

CalendarSearch findCalendars(DavConnection &connection, const QUrl &address)
{
    CalendarFinder finder(&connection);
    CalendarSearch result;
    QEventLoop loop;
    QObject::connect(&finder, &CalendarFinder::found, &loop, [&](const CalendarSearch &search) {
        result = search;
        loop.quit();
    });
    finder.find(address);
    loop.exec();
    return result;
}

Refusable<QUrl> createCalendar(DavConnection &connection, const QUrl &home, const QString &displayName)
{
    CalendarFinder finder(&connection);
    Refusable<QUrl> result = QUrl();
    QEventLoop loop;
    QObject::connect(&finder, &CalendarFinder::created, &loop, [&](const Refusable<QUrl> &calendar) {
        result = calendar;
        loop.quit();
    });
    finder.createCalendar(home, displayName);
    loop.exec();
    return result;
}

} // namespace ambrel
