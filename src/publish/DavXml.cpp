#include "DavXml.h"

#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace ambrel {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");

// The text of the first <href> inside the element the reader stands on, leaving the reader at its end.
QString hrefInside(QXmlStreamReader &xml)
{
    QString href;
    const auto name = xml.name().toString();
    const auto ns = xml.namespaceUri().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == name && xml.namespaceUri() == ns)
            break;
        if (xml.isStartElement() && xml.name() == QLatin1String("href") && xml.namespaceUri() == kDav
            && href.isEmpty())
            href = xml.readElementText().trimmed();
    }
    return href;
}

struct PropStat {
    DavEntry values;
    bool ok = true;
};

void readProp(QXmlStreamReader &xml, DavEntry &entry)
{
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        const bool dav = xml.namespaceUri() == kDav;
        const bool caldav = xml.namespaceUri() == kCalDav;
        if (dav && name == QLatin1String("getetag")) {
            entry.etag = xml.readElementText().trimmed().toUtf8();
        } else if (dav && name == QLatin1String("displayname")) {
            entry.displayName = xml.readElementText().trimmed();
        } else if (dav && name == QLatin1String("resourcetype")) {
            while (xml.readNextStartElement()) {
                if (xml.namespaceUri() == kCalDav && xml.name() == QLatin1String("calendar"))
                    entry.isCalendar = true;
                if (xml.namespaceUri() == kDav && xml.name() == QLatin1String("collection"))
                    entry.isCollection = true;
                xml.skipCurrentElement();
            }
        } else if (caldav && name == QLatin1String("supported-calendar-component-set")) {
            entry.componentsGiven = true;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("comp"))
                    entry.components << xml.attributes().value(QLatin1String("name")).toString().toUpper();
                xml.skipCurrentElement();
            }
        } else if (dav && name == QLatin1String("current-user-principal")) {
            entry.principal = hrefInside(xml);
        } else if (caldav && name == QLatin1String("calendar-home-set")) {
            entry.calendarHome = hrefInside(xml);
        } else {
            xml.skipCurrentElement();
        }
    }
}

void merge(DavEntry &into, const DavEntry &from)
{
    if (!from.etag.isEmpty())
        into.etag = from.etag;
    if (!from.displayName.isEmpty())
        into.displayName = from.displayName;
    into.isCalendar = into.isCalendar || from.isCalendar;
    into.isCollection = into.isCollection || from.isCollection;
    if (from.componentsGiven) {
        into.componentsGiven = true;
        into.components = from.components;
    }
    if (!from.principal.isEmpty())
        into.principal = from.principal;
    if (!from.calendarHome.isEmpty())
        into.calendarHome = from.calendarHome;
}

} // namespace

QList<DavEntry> parseMultistatus(const QByteArray &body, bool *ok)
{
    QList<DavEntry> entries;
    QXmlStreamReader xml(body);
    bool multistatus = false;
    if (xml.readNextStartElement() && xml.name() == QLatin1String("multistatus")
        && xml.namespaceUri() == kDav) {
        multistatus = true;
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("response")) {
                xml.skipCurrentElement();
                continue;
            }
            DavEntry entry;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("href")) {
                    // Servers write a path or a whole URL; the path alone is compared.
                    entry.href = QUrl::fromEncoded(xml.readElementText().trimmed().toUtf8())
                                     .path(QUrl::FullyDecoded);
                } else if (xml.name() == QLatin1String("propstat")) {
                    PropStat stat;
                    while (xml.readNextStartElement()) {
                        if (xml.name() == QLatin1String("prop"))
                            readProp(xml, stat.values);
                        else if (xml.name() == QLatin1String("status"))
                            stat.ok = xml.readElementText().contains(QLatin1String(" 200 "));
                        else
                            xml.skipCurrentElement();
                    }
                    if (stat.ok)
                        merge(entry, stat.values);
                } else {
                    xml.skipCurrentElement();
                }
            }
            entries << entry;
        }
    }
    if (ok)
        *ok = multistatus && !xml.hasError();
    return entries;
}

QByteArray propfindBody(const QStringList &davProps, const QStringList &caldavProps)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(kDav, QStringLiteral("d"));
    xml.writeNamespace(kCalDav, QStringLiteral("c"));
    xml.writeStartElement(kDav, QStringLiteral("propfind"));
    xml.writeStartElement(kDav, QStringLiteral("prop"));
    for (const QString &prop : davProps)
        xml.writeEmptyElement(kDav, prop);
    for (const QString &prop : caldavProps)
        xml.writeEmptyElement(kCalDav, prop);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

QByteArray mkcalendarBody(const QString &displayName)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(kDav, QStringLiteral("d"));
    xml.writeNamespace(kCalDav, QStringLiteral("c"));
    xml.writeStartElement(kCalDav, QStringLiteral("mkcalendar"));
    xml.writeStartElement(kDav, QStringLiteral("set"));
    xml.writeStartElement(kDav, QStringLiteral("prop"));
    xml.writeTextElement(kDav, QStringLiteral("displayname"), displayName);
    xml.writeStartElement(kCalDav, QStringLiteral("supported-calendar-component-set"));
    xml.writeEmptyElement(kCalDav, QStringLiteral("comp"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VEVENT"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

} // namespace ambrel
