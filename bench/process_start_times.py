#!/usr/bin/env python3
"""Times whole programs, start-up included: each command runs REPS times in
turn with its output thrown away; prints "NAME_wall_ms VALUE" and
"NAME_cpu_ms VALUE" lines (medians; CPU is user + system time of the child).

usage: process_start_times.py REPS NAME=COMMAND [NAME=COMMAND ...]
"""

import resource
import shlex
import statistics
import subprocess
import sys
import time


def measure(command, reps):
    walls, cpus = [], []
    for _ in range(reps):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        walls.append((time.perf_counter() - start) * 1000)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append((after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000)
    return statistics.median(walls), statistics.median(cpus)


def main():
    reps = int(sys.argv[1])
    commands = [argument.split("=", 1) for argument in sys.argv[2:]]
    # Interleaved, so that a busy moment of the machine falls on both.
    results = {name: ([], []) for name, _ in commands}
    for _ in range(reps):
        for name, command in commands:
            wall, cpu = measure(shlex.split(command), 1)
            results[name][0].append(wall)
            results[name][1].append(cpu)
    for name, (walls, cpus) in results.items():
        print(f"{name}_wall_ms {statistics.median(walls):.2f}")
        print(f"{name}_cpu_ms {statistics.median(cpus):.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
