#!/usr/bin/env python3
"""Checks that the items of a proclens list dump are in the order of the
list's comparison for one column and direction.

usage: sort_order_check.py DUMP COLUMN asc|desc [raw]
Column 0 is the caption, column 1 the path (both left-justified). The GTK
window's dump escapes backslashes in its fields; "raw" reads a dump that
does not (the Win32 window's). Exits 0 when
every neighbouring pair is in order, 1 with the first pair that is not.
"""

import sys


def fold(byte):
    return byte - 32 if 0x61 <= byte <= 0x7A else byte


def compare(first, second):
    for a, b in zip(first, second):
        if fold(a) != fold(b):
            return fold(a) - fold(b)
    return len(first) - len(second)


def unescape(field):
    return field.replace(b"\\t", b"\t").replace(b"\\n", b"\n").replace(b"\\r", b"\r").replace(b"\\\\", b"\\")


def main():
    dump, column, direction = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    raw = len(sys.argv) > 4 and sys.argv[4] == "raw"
    sign = 1 if direction == "asc" else -1
    texts = []
    with open(dump, "rb") as lines:
        for line in lines:
            fields = line.rstrip(b"\n").split(b"\t")
            if fields[0] == b"item":
                texts.append(fields[2 + column] if raw else unescape(fields[2 + column]))
    if len(texts) < 2:
        print("fewer than two items", file=sys.stderr)
        return 1
    for index in range(len(texts) - 1):
        if sign * compare(texts[index], texts[index + 1]) > 0:
            print(f"items {index} and {index + 1} out of order: {texts[index]!r} {texts[index + 1]!r}",
                  file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
