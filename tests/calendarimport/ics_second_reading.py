#!/usr/bin/env python3
# A second reading of iCalendar files, by python3-icalendar and python3-recurring-ical-events, for the days-off
# import's comparison test: ics_second_reading.py FIRST LAST ZONE FILE... prints "FILE|YYYY-MM-DD|A" for each
# day of an all-day event and "FILE|YYYY-MM-DD|T" for the day a timed event begins in ZONE, FIRST to LAST.
import datetime
import sys
import zoneinfo

import icalendar
import recurring_ical_events


def main():
    first = datetime.date.fromisoformat(sys.argv[1])
    last = datetime.date.fromisoformat(sys.argv[2])
    zone = zoneinfo.ZoneInfo(sys.argv[3])
    one_day = datetime.timedelta(days=1)
    for path in sys.argv[4:]:
        with open(path, 'rb') as file:
            calendar = icalendar.Calendar.from_ical(file.read())
        days = set()
        # Events that begin before the window may reach into it.
        for event in recurring_ical_events.of(calendar).between(first - 40 * one_day, last + 2 * one_day):
            if str(event.get('STATUS', '')).upper() == 'CANCELLED':
                continue
            start = event['DTSTART'].dt
            if isinstance(start, datetime.datetime):
                if start.tzinfo is None:
                    start = start.replace(tzinfo=zone)
                days.add((start.astimezone(zone).date(), 'T'))
                continue
            end = event['DTEND'].dt if 'DTEND' in event else start + one_day
            day = start
            while day < max(end, start + one_day):
                days.add((day, 'A'))
                day += one_day
        for day, kind in sorted(days):
            if first <= day <= last:
                print(f'{path}|{day.isoformat()}|{kind}')


if __name__ == '__main__':
    main()
