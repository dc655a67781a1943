#!/usr/bin/python3
"""Reads and edits a calendar as another CalDAV client would, for the publishing tests.

    caldav_peek.py list CALENDAR USER PASSWORD            one line per event: UID, tab, SUMMARY
    caldav_peek.py edit CALENDAR USER PASSWORD UID TEXT   gives that event the summary TEXT
    caldav_peek.py add CALENDAR USER PASSWORD UID TEXT    adds an event of another program
"""
import sys

import caldav
import icalendar


def main():
    command, url, user, password = sys.argv[1:5]
    client = caldav.DAVClient(url=url, username=user or None, password=password or None)
    calendar = caldav.Calendar(client=client, url=url)
    if command == "list":
        lines = []
        for event in calendar.events():
            for component in icalendar.Calendar.from_ical(event.data).walk("VEVENT"):
                lines.append("%s\t%s" % (component["UID"], component.get("SUMMARY", "")))
        print("\n".join(sorted(lines)))
    elif command == "edit":
        uid, text = sys.argv[5:7]
        event = calendar.event_by_uid(uid)
        parsed = icalendar.Calendar.from_ical(event.data)
        for component in parsed.walk("VEVENT"):
            component["SUMMARY"] = text
        event.data = parsed.to_ical().decode()
        event.save()
    elif command == "add":
        uid, text = sys.argv[5:7]
        calendar.save_event(
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Someone else//EN\r\nBEGIN:VEVENT\r\n"
            "UID:%s\r\nDTSTAMP:20240101T000000Z\r\nDTSTART:20240603T100000\r\nDTEND:20240603T110000\r\n"
            "SUMMARY:%s\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n" % (uid, text))
    else:
        sys.exit("unknown command: " + command)


if __name__ == "__main__":
    main()
