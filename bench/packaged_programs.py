"""What the package benchmarks share: the programs of /usr/bin that a package
ships, and the time of a whole command."""
import os
import statistics
import subprocess
import time


def is_elf(path):
    try:
        with open(path, "rb") as f:
            return f.read(4) == b"\x7fELF"
    except OSError:
        return False


def packaged_programs(count, elf_only=False):
    """The first COUNT files of /usr/bin (not links) that a package ships, by
    name, each with the path that dpkg's lists write for it (/bin/bash for
    /usr/bin/bash: dpkg-query does not know merged /usr)."""
    files = []
    for name in sorted(os.listdir("/usr/bin")):
        path = os.path.join("/usr/bin", name)
        if os.path.islink(path) or not os.path.isfile(path) or (elf_only and not is_elf(path)):
            continue
        files.append(path)
    candidates = {}
    for path in files:
        candidates[path] = path
        candidates[path.replace("/usr/bin/", "/bin/", 1)] = path
    out = subprocess.run(["dpkg-query", "-S"] + list(candidates), capture_output=True, text=True).stdout
    listed = {}
    for line in out.splitlines():
        if line.startswith("diversion") or ": " not in line:
            continue
        path = line.split(": ", 1)[1]
        if path in candidates:
            listed.setdefault(candidates[path], path)
    return [(f, listed[f]) for f in files if f in listed][:count]


def timed(command):
    """Seconds the command took, start-up included, and what it printed."""
    start = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start, result.stdout


def compare(label, ours_cmd, rival, rival_name, reps, goal=0.5):
    """Medians of reps runs of our command and of rival() (which returns the
    seconds it took), taking turns, and their ratio against the goal."""
    ours, theirs = [], []
    for _ in range(reps):
        ours.append(timed(ours_cmd)[0])
        theirs.append(rival())
    o, t = statistics.median(ours), statistics.median(theirs)
    print(f"{label}: ours {o * 1000:.1f} ms, {rival_name} {t * 1000:.1f} ms, ratio {o / t:.2f} (goal <= {goal})")
