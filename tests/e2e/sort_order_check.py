#!/usr/bin/env python3
"""Checks that the rows of a proclens list are in the order of the list's
comparison for one column and direction.

usage: sort_order_check.py ROWS COLUMN asc|desc
ROWS holds the list's rows in its order, their texts tab-separated: the
lines of atspi_probe.py rows, or the "item" records of the Win32 window
probe's state (other records are passed over). Column 0 is the caption,
column 1 the path (both left-justified). Exits 0 when every neighbouring
pair is in order, 1 with the first pair that is not.
"""

import sys


def fold(byte):
    return byte - 32 if 0x61 <= byte <= 0x7A else byte


def compare(first, second):
    for a, b in zip(first, second):
        if fold(a) != fold(b):
            return fold(a) - fold(b)
    return len(first) - len(second)


def rows(lines):
    records = [line.rstrip(b"\n").split(b"\t") for line in lines]
    if any(fields[0] == b"item" for fields in records):
        return [fields[1:] for fields in records if fields[0] == b"item"]
    return records


def main():
    file, column, direction = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    sign = 1 if direction == "asc" else -1
    with open(file, "rb") as lines:
        texts = [fields[column] for fields in rows(lines)]
    if len(texts) < 2:
        print("fewer than two rows", file=sys.stderr)
        return 1
    for index in range(len(texts) - 1):
        if sign * compare(texts[index], texts[index + 1]) > 0:
            print(f"rows {index} and {index + 1} out of order: {texts[index]!r} {texts[index + 1]!r}",
                  file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
