#!/usr/bin/python3
"""The catalogue as a script writer would get it from psutil: every process's
name and executable, and a stat of that executable for its size.

Times the walk inside Python (interpreter start and import excluded), in wall
and CPU time, repeats it and prints the medians in the same key/value form as
catalogue_bench.
"""

import argparse
import os
import statistics
import time

import psutil


def walk_processes():
    """One pass; returns (processes, resolved)."""
    processes = resolved = 0
    for proc in psutil.process_iter(["name", "exe"]):
        processes += 1
        exe = proc.info["exe"]
        if not exe:
            continue
        try:
            os.stat(exe)
            resolved += 1
        except OSError:
            pass
    return processes, resolved


def forget_known_processes():
    # process_iter keeps the Process objects of earlier calls; a script runs
    # once, so every pass starts without them as the first call of a script does.
    if hasattr(psutil, "_pmap"):
        psutil._pmap.clear()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--reps", type=int, default=7)
    args = parser.parse_args()
    wall, cpu = [], []
    counts = (0, 0)
    for _ in range(args.reps):
        forget_known_processes()
        wall_start, cpu_start = time.perf_counter(), time.process_time()
        counts = walk_processes()
        cpu.append((time.process_time() - cpu_start) * 1000.0)
        wall.append((time.perf_counter() - wall_start) * 1000.0)
    print(f"psutil_wall_ms {statistics.median(wall):.3f}")
    print(f"psutil_cpu_ms {statistics.median(cpu):.3f}")
    print(f"psutil_processes {counts[0]}")
    print(f"psutil_resolved {counts[1]}")


if __name__ == "__main__":
    main()
