#!/usr/bin/env python3
"""Turns the UTF-8 Markdown user guide into the text file that ships:
Shift-JIS (code page 932) with CR LF line ends.

    make-guide.py SOURCE.md OUTPUT.txt

Headings become marked lines, code blocks are indented, inline code marks
are dropped. Every character must have a code page 932 form that reads back as
the same character: the script names each one that has none (line and
column) and writes nothing then.

A line holding {{CONTACT}} gets the contact given at packaging in the
environment variable TARNIVEL_CONTACT; without one the line is left out.
"""
import os
import sys

CONTACT = "{{CONTACT}}"


def to_text(lines):
    out = []
    in_code = False
    for line in lines:
        if line.startswith("```"):
            in_code = not in_code
            continue
        if in_code:
            out.append(("    " + line).rstrip())
            continue
        if line.startswith("# "):
            title = line[2:].strip()
            rule = "=" * len(title.encode("cp932", "replace"))
            out += [rule, title, rule]
        elif line.startswith("## "):
            out.append("■ " + line[3:].strip())
        elif line.startswith("### "):
            out.append("◆ " + line[4:].strip())
        else:
            out.append(line.replace("`", "").rstrip())
    return out


def unconvertible(lines):
    bad = []
    for number, line in enumerate(lines, 1):
        for column, ch in enumerate(line, 1):
            try:
                back = ch.encode("cp932").decode("cp932")
            except UnicodeEncodeError:
                back = None
            # A character that comes back as another one (WAVE DASH as FULLWIDTH TILDE) is refused too.
            if back != ch:
                bad.append("%d:%d: U+%04X %s has no code page 932 form" % (number, column, ord(ch), ch))
    return bad


def with_contact(lines, contact):
    """The source lines as they ship: the contact in its place, or its line
    left out with the blank line after it."""
    out = []
    dropped = False
    for line in lines:
        if CONTACT in line and not contact:
            dropped = True
            continue
        if not (dropped and not line.strip()):
            out.append(line.replace(CONTACT, contact))
        dropped = False
    return out


def read_source(path):
    """The guide's lines as they ship, or None once what is wrong is printed."""
    with open(path, "rb") as f:
        try:
            source = f.read().decode("utf-8")
        except UnicodeDecodeError as e:
            print("%s: not UTF-8 (%s)" % (path, e), file=sys.stderr)
            return None
    contact = os.environ.get("TARNIVEL_CONTACT", "")
    # Checked in place, so that a message names the line of the source.
    lines = [line.replace(CONTACT, contact) for line in source.splitlines()]
    bad = unconvertible(lines)
    for message in bad:
        print("%s:%s" % (path, message), file=sys.stderr)
    return None if bad else with_contact(source.splitlines(), contact)


def main(argv):
    if len(argv) != 3:
        print("usage: make-guide.py SOURCE.md OUTPUT.txt", file=sys.stderr)
        return 2
    lines = read_source(argv[1])
    if lines is None:
        return 1
    text = "".join(line + "\r\n" for line in to_text(lines))
    with open(argv[2], "wb") as f:
        f.write(text.encode("cp932"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
