#!/usr/bin/env python3
"""Package texts of programs, whole process: proclens-cli version --json
against dpkg-query, the package system's own answer to the same question.

  many: proclens-cli version --json over 400 programs of /usr/bin, against
        dpkg-query -S of the same files followed by one dpkg-query -W of
        their packages (goal: at most 0.5x);
  one:  proclens-cli version --json /usr/bin/bash, against
        dpkg-query -S /bin/bash (goal: at most 0.5x).

Medians of REPS runs, the two commands taking turns. Builds nothing.
usage: package_texts_bench.py PROCLENS_CLI [REPS]
"""
import json
import os
import subprocess
import sys
import time

from packaged_programs import compare, packaged_programs, timed


def dpkg_query_both(files):
    started = time.perf_counter()
    out = subprocess.run(["dpkg-query", "-S"] + files, capture_output=True, text=True).stdout
    packages = sorted({line.split(": ", 1)[0].split(",")[0].strip() for line in out.splitlines()
                       if ": " in line and not line.startswith("diversion")})
    subprocess.run(["dpkg-query", "-W", "-f=${Package}\t${Maintainer}\t${binary:Summary}\n"] + packages,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - started


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    cli = sys.argv[1]
    reps = int(sys.argv[2]) if len(sys.argv) > 2 else 9
    chosen = packaged_programs(400)
    files = [ours for ours, _ in chosen]
    # dpkg-query does not know merged /usr: it is asked for the paths its lists write.
    listed = [theirs for _, theirs in chosen]
    print(f"{len(files)} programs of /usr/bin, {len(os.listdir('/var/lib/dpkg/info'))} files in dpkg's info folder")

    _, out = timed([cli, "version", "--json"] + files)
    named = sum(1 for item in json.loads(out) if item["ok"])
    print(f"proclens-cli names the software of {named} of {len(files)}")

    compare("many", [cli, "version", "--json"] + files, lambda: dpkg_query_both(listed), "dpkg-query", reps)
    compare("one", [cli, "version", "--json", "/usr/bin/bash"],
            lambda: timed(["dpkg-query", "-S", "/bin/bash"])[0], "dpkg-query", reps)


if __name__ == "__main__":
    main()
