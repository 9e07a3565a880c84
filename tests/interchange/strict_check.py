#!/usr/bin/env python3
"""Reads an iCalendar file with an independent parser and fails on anything it finds wrong.

Prints the number of VEVENTs; exits 1 with the problems on standard error otherwise.
"""
import sys

from icalendar import Calendar

problems = []
with open(sys.argv[1], "rb") as stream:
    data = stream.read()
try:
    calendars = Calendar.from_ical(data, multiple=True)
except Exception as error:  # the parser's own refusal
    print(f"não lido: {error}", file=sys.stderr)
    sys.exit(1)
events = 0
for calendar in calendars:
    for name in ("VERSION", "PRODID"):
        if name not in calendar:
            problems.append(f"VCALENDAR sem {name}")
    zones = {str(zone["TZID"]) for zone in calendar.walk("VTIMEZONE")}
    for component in calendar.walk():
        problems.extend(f"{component.name}: {error}" for error in component.errors)
    for event in calendar.walk("VEVENT"):
        events += 1
        for name in ("UID", "DTSTAMP", "DTSTART"):
            if name not in event:
                problems.append(f"VEVENT sem {name}")
        tzid = event["DTSTART"].params.get("TZID")
        if tzid is not None and tzid not in zones:
            problems.append(f"TZID {tzid} sem VTIMEZONE")
        event.decoded("DTSTART")
        for alarm in event.walk("VALARM"):
            for name in ("ACTION", "TRIGGER", "DESCRIPTION"):
                if name not in alarm:
                    problems.append(f"VALARM sem {name}")
            alarm.decoded("TRIGGER")
if problems:
    print("\n".join(problems), file=sys.stderr)
    sys.exit(1)
print(events)
