#!/usr/bin/env python3
"""Reads an iCalendar file with the icalendar package and prints its events as JSON."""
import datetime
import json
import sys

import icalendar

with open(sys.argv[1], "rb") as f:
    cal = icalendar.Calendar.from_ical(f.read())
events = []
for ev in cal.walk("VEVENT"):
    start = ev.decoded("DTSTART")
    zoned = getattr(start, "tzinfo", None) is not None
    alarms = [str(a.get("TRIGGER").to_ical(), "ascii") for a in ev.walk("VALARM")]
    events.append({
        "uid": str(ev.get("UID")),
        "summary": str(ev.get("SUMMARY")),
        "location": str(ev.get("LOCATION", "")),
        "description": str(ev.get("DESCRIPTION", "")),
        # The wall-clock time as written, and for a zoned time the instant it names.
        "start": (start.replace(tzinfo=None) if zoned else start).isoformat(),
        "utc": start.astimezone(datetime.timezone.utc).isoformat() if zoned else "",
        "tzid": str(ev["DTSTART"].params.get("TZID", "")),
        "allday": not hasattr(start, "hour"),
        "priority": int(ev.get("PRIORITY", 0)),
        "alarms": alarms,
    })
zones = [{"tzid": str(tz.get("TZID")),
          "kinds": sorted({c.name for c in tz.subcomponents})} for tz in cal.walk("VTIMEZONE")]
print(json.dumps({"version": str(cal.get("VERSION")), "events": events, "zones": zones}))
