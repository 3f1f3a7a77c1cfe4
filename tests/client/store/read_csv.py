#!/usr/bin/env python3
"""Reads a CSV file as a spreadsheet would (UTF-8 with its byte-order mark) and prints the rows
as JSON; with --xlsx FILE, prints the number of rows of the first sheet of an .xlsx file; with
--xlsx-cells FILE, prints what the spreadsheet made of each cell of that sheet: its kind ("s"
text, "n" number, "str" formula result...), the formula if the cell holds one, and its value."""
import csv
import json
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}


def cells(path):
    with zipfile.ZipFile(path) as z:
        sheet = ET.fromstring(z.read("xl/worksheets/sheet1.xml"))
        shared = []
        if "xl/sharedStrings.xml" in z.namelist():
            for si in ET.fromstring(z.read("xl/sharedStrings.xml")).findall("m:si", NS):
                shared.append("".join(t.text or "" for t in si.iter("{%s}t" % NS["m"])))
    out = {}
    for c in sheet.iter("{%s}c" % NS["m"]):
        kind = c.get("t", "n")
        f = c.find("m:f", NS)
        v = c.find("m:v", NS)
        value = v.text if v is not None else None
        if kind == "s" and value is not None:
            value = shared[int(value)]
        out[c.get("r")] = {"kind": kind, "formula": f.text if f is not None else None,
                           "value": value}
    return out


if sys.argv[1] == "--xlsx":
    with zipfile.ZipFile(sys.argv[2]) as z:
        sheet = z.read("xl/worksheets/sheet1.xml").decode("utf-8")
    print(json.dumps({"rows": len(re.findall(r"<row[ >]", sheet))}))
elif sys.argv[1] == "--xlsx-cells":
    print(json.dumps(cells(sys.argv[2])))
else:
    with open(sys.argv[1], newline="", encoding="utf-8-sig") as f:
        print(json.dumps(list(csv.reader(f, strict=True))))
