#!/usr/bin/env python3
"""Version texts from an RPM database, whole process: our RPM source (through
a small program that asks it as the window would) against rpm itself.

The database is made for the run: PACKAGES packages of PROGRAMS programs each
(400 programs in 40 packages), built with rpmbuild and installed with
rpm --root into a folder of the run's own; one program of each package has
AppStream metainfo.

  many: rpm_texts_probe over all the programs, against rpm -qf of the same
        files followed by one rpm -q --qf of their packages (goal: at most
        0.5x), in package order and shuffled;
  one:  the same for one program (what a first click asks).

Medians of REPS runs, the two taking turns.
usage: rpm_texts_bench.py RPM_TEXTS_PROBE BUILD_AND_INSTALL [REPS]
"""
import os
import random
import subprocess
import sys
import tempfile
import time

from packaged_programs import compare, timed

PACKAGES = 40
PROGRAMS = 10
QUERY_FORMAT = "%{NAME}\t%{SUMMARY}\t%{VENDOR}\t%{PACKAGER}\n"


def write_package_file(path):
    """One rpmbuild input whose subpackages are the benchmark's packages;
    returns the programs they install."""
    names = [f"bench-pkg{p:02d}" for p in range(PACKAGES)]
    programs = {name: [f"/usr/bin/{name}-prog{n}" for n in range(PROGRAMS)] for name in names}
    head = ("Name: bench\nVersion: 1.0\nRelease: 1\nSummary: Benchmark packages\nLicense: MIT\n"
            "Vendor: Bench Vendor\nBuildArch: noarch\nAutoReqProv: no\n%description\nBenchmark.\n")
    subpackages, install, files = [], ["%install\n", "mkdir -p %{buildroot}/usr/bin %{buildroot}/usr/share/metainfo\n"], []
    for number, name in enumerate(names):
        subpackages.append(f"%package -n {name}\nSummary: Benchmark package {number}\n"
                           f"%description -n {name}\nBenchmark package {number}.\n")
        metainfo = f"/usr/share/metainfo/example.{name}.metainfo.xml"
        install += [f"printf '#!/bin/sh\\n' > %{{buildroot}}{program}\n" for program in programs[name]]
        install.append(f"echo '<component><id>example.{name}</id><name>Bench {number}</name>"
                       f"<summary>Benchmark program</summary><provides><binary>{name}-prog0</binary>"
                       f"</provides></component>' > %{{buildroot}}{metainfo}\n")
        files.append(f"%files -n {name}\n" + "".join(f"{f}\n" for f in programs[name] + [metainfo]))
    with open(path, "w") as out:
        out.write(head + "".join(subpackages) + "".join(install) + "".join(files))
    return [program for name in names for program in programs[name]]


def rpm_both(root, files):
    """rpm's own answer: the packages of the files, then their texts; the seconds it took."""
    started = time.perf_counter()
    out = subprocess.run(["rpm", "--root", root, "-qf", "--qf", "%{NAME}\n"] + files,
                         capture_output=True, text=True).stdout
    subprocess.run(["rpm", "--root", root, "-q", "--qf", QUERY_FORMAT] + sorted(set(out.split())),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - started


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    probe, build_and_install = sys.argv[1], sys.argv[2]
    reps = int(sys.argv[3]) if len(sys.argv) > 3 else 9
    with tempfile.TemporaryDirectory(prefix="proclens-rpm-bench.") as folder:
        files = write_package_file(os.path.join(folder, "bench.rpmbuild"))
        subprocess.run([build_and_install, folder, os.path.join(folder, "bench.rpmbuild")], check=True)
        root = os.path.join(folder, "root")

        _, out = timed([probe, root] + files)
        lines = out.decode().splitlines()
        named = sum(1 for line in lines if line.split("\t")[1] != "-")
        print(f"{len(files)} programs in {PACKAGES} packages; ours names the package of {named}")
        print("for example: " + lines[0].replace("\t", " | "))

        compare("many", [probe, root] + files, lambda: rpm_both(root, files), "rpm", reps)
        # In package order, the programs after a package's first are answered
        # from the packages read last; shuffled, most need a query of their own.
        shuffled = random.Random(19).sample(files, len(files))
        compare("many, shuffled", [probe, root] + shuffled, lambda: rpm_both(root, shuffled), "rpm", reps)
        compare("one", [probe, root, files[0]], lambda: rpm_both(root, files[:1]), "rpm", reps)


if __name__ == "__main__":
    main()
