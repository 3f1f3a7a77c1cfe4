#!/usr/bin/env python3
"""Reads an iCalendar file with the icalendar package and prints its events as JSON."""
import json
import sys

import icalendar

with open(sys.argv[1], "rb") as f:
    cal = icalendar.Calendar.from_ical(f.read())
events = []
for ev in cal.walk("VEVENT"):
    start = ev.decoded("DTSTART")
    alarms = [str(a.get("TRIGGER").to_ical(), "ascii") for a in ev.walk("VALARM")]
    events.append({
        "uid": str(ev.get("UID")),
        "summary": str(ev.get("SUMMARY")),
        "location": str(ev.get("LOCATION", "")),
        "description": str(ev.get("DESCRIPTION", "")),
        "start": start.isoformat(),
        "allday": not hasattr(start, "hour"),
        "priority": int(ev.get("PRIORITY", 0)),
        "alarms": alarms,
    })
print(json.dumps({"version": str(cal.get("VERSION")), "events": events}))
