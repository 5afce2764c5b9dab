#!/usr/bin/env python3
"""proclens-cli verify against md5sum (coreutils) over the same files, whole
process: the floor of reading and hashing them.

The files are the first 300 ELF programs of /usr/bin, by name, that a package
ships (goal: verify at most 1.3x md5sum). Medians of REPS runs, the two
commands taking turns. Builds nothing.
usage: verify_bench.py PROCLENS_CLI [REPS]
"""
import json
import os
import statistics
import sys

from packaged_programs import packaged_programs, timed


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    cli = sys.argv[1]
    reps = int(sys.argv[2]) if len(sys.argv) > 2 else 9
    files = [path for path, _ in packaged_programs(300, elf_only=True)]
    size = sum(os.path.getsize(f) for f in files)
    print(f"{len(files)} packaged ELF programs of /usr/bin, {size / 1e6:.1f} MB")

    _, out = timed([cli, "verify", "--json"] + files)
    states = {}
    for item in json.loads(out):
        states[item["state"]] = states.get(item["state"], 0) + 1
    print("states: " + ", ".join(f"{k} {v}" for k, v in sorted(states.items())))

    ours, theirs = [], []
    for _ in range(reps):
        ours.append(timed([cli, "verify", "--json"] + files)[0])
        theirs.append(timed(["md5sum"] + files)[0])
    o, t = statistics.median(ours), statistics.median(theirs)
    print(f"proclens-cli verify {o * 1000:.1f} ms, md5sum {t * 1000:.1f} ms, ratio {o / t:.2f} (goal <= 1.3)")


if __name__ == "__main__":
    main()
