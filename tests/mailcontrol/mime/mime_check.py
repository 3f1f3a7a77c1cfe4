#!/usr/bin/env python3
"""Checks the mail control's MIME output with Python's own decoders.

parse MSG OUTDIR       parse a whole message; write each part's decoded payload to
                       OUTDIR/partN and print "part N TYPE CTE FILENAME_HEX CHARSET" lines
roundtrip DIR          for every DIR/NAME.bin, decode NAME.qp / NAME.b64 and compare; check
                       line lengths and line ends
japanese MSG SUBJ BODY FROM
                       decode the Subject, the body and the From of MSG (ISO-2022-JP) and
                       compare them with the Shift_JIS texts in SUBJ, BODY and FROM (half-width
                       kana compared in their full-width forms)
"""
import base64
import email
import email.header
import email.policy
import os
import quopri
import sys
import unicodedata


def fail(text):
    print(text)
    sys.exit(1)


def parse(msg_path, out_dir):
    # The default policy reads 8-bit header bytes as UTF-8, as the names are written.
    with open(msg_path, "rb") as f:
        msg = email.message_from_bytes(f.read(), policy=email.policy.default)
    if msg.defects:
        fail("message defects: %r" % msg.defects)
    if not msg.is_multipart():
        fail("not multipart")
    for i, part in enumerate(msg.get_payload()):
        if part.defects:
            fail("part %d defects: %r" % (i, part.defects))
        payload = part.get_payload(decode=True) or b""
        with open(os.path.join(out_dir, "part%d" % i), "wb") as f:
            f.write(payload)
        name = part.get_filename()
        raw = name.encode("utf-8", "surrogateescape") if name else b""
        print("part %d %s %s %s %s" % (i, part.get_content_type(),
                                       part["Content-Transfer-Encoding"],
                                       raw.hex() or "-", part.get_content_charset() or "-"))


def roundtrip(folder):
    checked = 0
    for entry in sorted(os.listdir(folder)):
        if not entry.endswith(".bin"):
            continue
        stem = os.path.join(folder, entry[:-4])
        with open(stem + ".bin", "rb") as f:
            original = f.read()
        if os.path.exists(stem + ".qp"):
            with open(stem + ".qp", "rb") as f:
                encoded = f.read()
            lines = encoded.split(b"\r\n")
            if lines[-1] == b"":
                lines.pop()
            for line in lines:
                if len(line) > 76 or b"\n" in line or b"\r" in line:
                    fail("%s.qp: bad line %r" % (stem, line[:90]))
                if line[-1:] in (b" ", b"\t"):
                    fail("%s.qp: blank at a line end" % stem)
            if quopri.decodestring(encoded) != original:
                fail("%s.qp does not decode to the input" % stem)
            checked += 1
        if os.path.exists(stem + ".b64"):
            with open(stem + ".b64", "rb") as f:
                encoded = f.read()
            if original and not encoded.endswith(b"\r\n"):
                fail("%s.b64: last line not ended" % stem)
            lines = encoded.split(b"\r\n")[:-1]
            for n, line in enumerate(lines):
                if len(line) != 72 and n != len(lines) - 1:
                    fail("%s.b64: line %d has %d characters" % (stem, n, len(line)))
            if base64.b64decode(b"".join(lines), validate=True) != original:
                fail("%s.b64 does not decode to the input" % stem)
            checked += 1
    print("checked %d" % checked)


def decoded_header(value):
    pieces = email.header.decode_header(value)
    return "".join(p.decode(c or "ascii") if isinstance(p, bytes) else p for p, c in pieces)


def japanese(msg_path, subject_path, body_path, from_path):
    with open(msg_path, "rb") as f:
        msg = email.message_from_bytes(f.read(), policy=email.policy.compat32)
    with open(subject_path, "rb") as f:
        want_subject = unicodedata.normalize("NFKC", f.read().decode("shift_jis"))
    with open(body_path, "rb") as f:
        want_body = unicodedata.normalize("NFKC", f.read().decode("shift_jis"))
    with open(from_path, "rb") as f:
        want_from = f.read().decode("shift_jis")
    subject = decoded_header(msg["Subject"])
    if subject != want_subject:
        fail("subject %r != %r" % (subject, want_subject))
    # The display name is an encoded word inside its quotes; decoders read it there too.
    sender = decoded_header(msg["From"])
    if sender != want_from:
        fail("from %r != %r" % (sender, want_from))
    part = msg.get_payload()[0] if msg.is_multipart() else msg
    if msg.is_multipart() and part.get_content_charset() != "iso-2022-jp":
        fail("text part charset %r" % part.get_content_charset())
    body = part.get_payload(decode=True).decode("iso2022_jp")
    if unicodedata.normalize("NFKC", body) != want_body:
        fail("body %r != %r" % (body, want_body))
    print("ok")


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "parse":
        parse(sys.argv[2], sys.argv[3])
    elif command == "roundtrip":
        roundtrip(sys.argv[2])
    elif command == "japanese":
        japanese(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5])
    else:
        fail("unknown command")
