#!/usr/bin/env python3
"""Reads an iCalendar file with the icalendar package and prints its events as JSON.

Prints {"skip": reason} when the package is not installed, so the calling test can skip.
"""
import json
import sys

try:
    import icalendar
except ImportError as error:
    print(json.dumps({"skip": str(error)}))
    sys.exit(0)

with open(sys.argv[1], "rb") as file:
    calendar = icalendar.Calendar.from_ical(file.read())

events = []
for event in calendar.walk("VEVENT"):
    alarms = event.walk("VALARM")
    events.append({
        "uid": str(event.get("UID")),
        "summary": str(event.get("SUMMARY")),
        "description": str(event.get("DESCRIPTION", "")),
        "start": event.decoded("DTSTART").isoformat(),
        "end": event.decoded("DTEND").isoformat(),
        "stamp": "DTSTAMP" in event,
        "rrule": event["RRULE"].to_ical().decode() if "RRULE" in event else "",
        "trigger": alarms[0]["TRIGGER"].to_ical().decode() if alarms else "",
        "alarmAction": str(alarms[0].get("ACTION")) if alarms else "",
    })
print(json.dumps({
    "version": str(calendar.get("VERSION")),
    "prodid": str(calendar.get("PRODID")),
    "events": events,
}, ensure_ascii=False))
