"""Parses a stored message with Python's email package, as a reader's mail program would,
and reports what it found: the headers a test checks, then one line per leaf part (content
type, file name or -), whose decoded bytes are written to OUTDIR/part-N.

usage: dump_message.py FILE OUTDIR"""
import sys
from email import policy
from email.header import decode_header, make_header
from email.parser import BytesParser
from pathlib import Path

with open(sys.argv[1], "rb") as f:
    message = BytesParser(policy=policy.compat32).parse(f)
outdir = Path(sys.argv[2])
for name in ("To", "Cc", "Bcc", "From", "Subject"):
    if message[name] is not None:
        print(f"{name}: {message[name]}")
for name in ("From", "Subject"):
    if message[name] is not None and "=?" in message[name]:
        print(f"{name} decoded: {make_header(decode_header(message[name]))}")
count = 0
for part in message.walk():
    if part.is_multipart():
        continue
    count += 1
    (outdir / f"part-{count}").write_bytes(part.get_payload(decode=True) or b"")
    print("part", part.get_content_type(), part.get_filename() or "-")
