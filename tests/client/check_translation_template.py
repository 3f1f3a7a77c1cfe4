#!/usr/bin/env python3
"""Fails when lupdate finds a text in the sources that the committed template lacks.

usage: check_translation_template.py LUPDATE SOURCES_LIST TEMPLATE_TS [INCLUDE_DIR ...]

Runs lupdate over the files named in SOURCES_LIST (one a line; the include folders let it find
the classes, and so the contexts, of their tr() calls) into a fresh .ts and lists
every (context, source text) pair it holds that TEMPLATE_TS does not. Texts the template holds
and the sources no longer use are only reported (regenerating drops them).
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def messages(ts_path):
    pairs = set()
    for context in ET.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name") or ""
        for message in context.iter("message"):
            pairs.add((name, message.findtext("source") or ""))
    return pairs


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    lupdate, sources, template = sys.argv[1:4]
    includes = [option for folder in sys.argv[4:] for option in ("-I", folder)]
    with tempfile.TemporaryDirectory() as folder:
        now = os.path.join(folder, "now.ts")
        run = subprocess.run([lupdate, "-silent", "-no-obsolete", "-locations", "none",
                              *includes, "@" + sources, "-ts", now], capture_output=True, text=True)
        if run.returncode != 0 or not os.path.exists(now):
            print("lupdate failed:", run.stderr)
            return 1
        found = messages(now)
    listed = messages(template)
    missing = sorted(found - listed)
    for context, text in sorted(listed - found):
        print(f"note: no longer in the sources: {context}: \"{text}\"")
    if missing:
        print(f"{len(missing)} text(s) are missing from {template}; regenerate it "
              "(cmake --build <build> --target brevant_core_lupdate) and commit it:")
        for context, text in missing:
            print(f"  {context}: \"{text}\"")
        return 1
    print(f"{len(found)} texts, all in the template")
    return 0


if __name__ == "__main__":
    sys.exit(main())
