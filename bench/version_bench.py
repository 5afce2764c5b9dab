#!/usr/bin/python3
"""Version texts of every installed PE file: ours against pefile and exiftool.

    version_bench.py VERSION_BENCH_BINARY [--table FILE]

Every file is read by all three in the same run, after one warm-up pass so
that all of them find it in the page cache. Ours: the fastest of 15 readings
(bench/version_bench.cpp). pefile: the fastest of 3, with the same lookups as
the corpus test, on a fast load with only the resource directory parsed. exiftool: one resident
process (-stay_open), one request per file, so that its start-up is not
counted. Prints per-file times to --table and a summary to standard output.
"""
import json
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'tests', 'tools'))
import pefile_version_dump  # noqa: E402


def ours(binary, files):
    out = subprocess.run([binary], input='\n'.join(files) + '\n', capture_output=True, text=True, check=True)
    return {r['file']: r for r in map(json.loads, out.stdout.splitlines())}


def pefile_times(files, rounds=3):
    times = {}
    for path in files:
        best = None
        for _ in range(rounds):
            start = time.perf_counter()
            pefile_version_dump.texts_of(path, 0x0409)
            elapsed = time.perf_counter() - start
            best = elapsed if best is None else min(best, elapsed)
        times[path] = best
    return times


def exiftool_times(files):
    tool = subprocess.Popen(['exiftool', '-stay_open', 'True', '-@', '-'], stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)
    times = {}
    try:
        for path in files:
            start = time.perf_counter()
            tool.stdin.write('-j\n-FileDescription\n-ProductName\n-CompanyName\n%s\n-execute\n' % path)
            tool.stdin.flush()
            while not tool.stdout.readline().startswith('{ready}'):
                pass
            times[path] = time.perf_counter() - start
    finally:
        tool.stdin.write('-stay_open\nFalse\n')
        tool.stdin.flush()
        tool.wait(timeout=30)
    return times


def summary(name, values, unit=1e6, suffix='us'):
    return '%-9s median %10.1f %s   mean %10.1f %s   max %10.1f %s' % (
        name, statistics.median(values) * unit, suffix, statistics.mean(values) * unit, suffix,
        max(values) * unit, suffix)


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    binary, table = argv[1], None
    if argv[2:4] and argv[2] == '--table':
        table = argv[3]
    files = pefile_version_dump.corpus()
    for path in files:  # warm-up: every file in the page cache
        with open(path, 'rb') as f:
            while f.read(1 << 20):
                pass
    mine = ours(binary, files)
    pe = pefile_times(files)
    exif = exiftool_times(files)

    rows = []
    for path in files:
        r = mine[path]
        rows.append((path, r['file_size'], r['bytes_read'], r['seconds'], pe[path], exif[path],
                     r['seconds_fixed_language']))
    if table:
        with open(table, 'w') as out:
            out.write('file\tsize\tbytes_read\tours_us\tours_fixed_language_us\tpefile_us\texiftool_us\tpefile/ours\n')
            for path, size, read, o, p, e, f in rows:
                out.write('%s\t%d\t%d\t%.1f\t%.1f\t%.1f\t%.1f\t%.0f\n' % (
                    path, size, read, o * 1e6, f * 1e6, p * 1e6, e * 1e6, p / o))

    with_block = [r for r in rows if mine[r[0]]['ok']]
    print('PE files: %d (%d with a version block), total size %.1f MB' % (
        len(rows), len(with_block), sum(r[1] for r in rows) / 1e6))
    print(summary('ours', [r[3] for r in rows]))
    print(summary('ours*', [r[6] for r in rows]) + '   (* user language from a constant)')
    print(summary('pefile', [r[4] for r in rows]))
    print(summary('exiftool', [r[5] for r in rows]))
    ratios_pe = [r[4] / r[3] for r in rows]
    ratios_ex = [r[5] / r[3] for r in rows]
    print('per file, pefile / ours:   median %.0fx, min %.0fx' % (statistics.median(ratios_pe), min(ratios_pe)))
    print('per file, exiftool / ours: median %.0fx, min %.0fx' % (statistics.median(ratios_ex), min(ratios_ex)))
    ratios_fixed = [r[4] / r[6] for r in rows]
    print('per file, pefile / ours*:  median %.0fx, min %.0fx, files below 100x: %d (ours: %d)' % (
        statistics.median(ratios_fixed), min(ratios_fixed), sum(x < 100 for x in ratios_fixed),
        sum(x < 100 for x in ratios_pe)))
    print('mean per file, pefile / ours: %.0fx' % (statistics.mean(r[4] for r in rows) / statistics.mean(r[3] for r in rows)))
    print('bytes read per file (ours): median %d, max %d; file sizes: median %d, max %d' % (
        statistics.median(r[2] for r in rows), max(r[2] for r in rows),
        statistics.median(r[1] for r in rows), max(r[1] for r in rows)))
    largest = max(rows, key=lambda r: r[1])
    print('largest file: %s (%.1f MB): ours read %d bytes in %.1f us' % (
        largest[0], largest[1] / 1e6, largest[2], largest[3] * 1e6))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
