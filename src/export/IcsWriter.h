#pragma once

#include "corekit/Refusal.h"
#include "export/EventRow.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace ambrel {

// What an iCalendar file holds besides its events.
struct IcsOptions {
    QString projectName; // the calendar's name and every event's category; also part of every event's UID
    QString startsAt; // the working day's begin hour, as its text ("09:00 AM", "9:00", ...)
    QString endsAt; // the working day's end hour, as its text
    QDateTime stamp; // the moment of the export, written in UTC as every event's DTSTAMP
    // The project's lasting identity; when set it takes the name's place in every UID, so that renaming
    // the project keeps its events.
    QString projectId = {};
};

// What identifies a project lastingly, in its events' UIDs and its publishing records: its Id, else its
// name, so that the events of a file saved before projects had an Id keep the UIDs they were exported
// with. Line breaks become blanks, as in the name a saved file gives back.
QString lastingProjectId(const QString &id, const QString &name);

// One event as a calendar resource of its own: a VCALENDAR holding its one VEVENT, as a calendar server
// stores it.
struct IcsResource {
    QByteArray uid;
    QByteArray text;
};

// Why no calendar can be made with these hours (one that cannot be read, or an end hour not after the
// begin hour), naming the hour text and where to change it; nothing when the hours will do. Lets a caller
// refuse before it asks whether to overwrite a file.
std::optional<Refusal> icsHoursRefusal(const QString &startsAt, const QString &endsAt);

// The calendar as an iCalendar (RFC 5545) text, UTF-8 without a byte-order mark: one VEVENT per event row,
// in order, each a block of working hours on the first day of its run, repeated daily over the run's days.
// The events' own hour texts are not used: every event takes the hours of options. An event's summary is
// its title; the project's name is its category and heads its description, followed by the task's marks in
// words. The UID of an event
// depends only on the project's Id (its name when it has none), its task text, its occurrence and its
// number, so a later export updates the same events; should two rows still come out alike, the later one
// is told apart by its place among its twins, and every UID of the file stays unique.
// Refused when the hours will not do or an event has no valid days.
Refusable<QByteArray> calendarIcs(const IcsOptions &options, const std::vector<EventRow> &events);

// Why calendarIcs would refuse these events, or nothing; checks without composing any event.
std::optional<Refusal> icsRefusal(const IcsOptions &options, const std::vector<EventRow> &events);

// The text of calendarIcs written into device as each event is composed, for a file of any size: the
// refusal comes before any byte is written. Returns the refusal, or why an event could not be composed; a
// failed write is the device's to tell.
std::optional<Refusal> streamCalendarIcs(
    QIODevice *device, const IcsOptions &options, const std::vector<EventRow> &events);

// Every event of calendarIcs, with the same UIDs, each as a resource of its own for a calendar server: no
// METHOD, and each VEVENT marked with X-AMBREL-PROJECT (the project's Id, else its name) as Ambrel's own.
// The same refusals as calendarIcs.
Refusable<std::vector<IcsResource>> calendarIcsResources(
    const IcsOptions &options, const std::vector<EventRow> &events);

} // namespace ambrel
