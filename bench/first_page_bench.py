#!/usr/bin/env python3
"""The first click on a program of each source: the offline page built and
written in a fresh process (first_page_probe), with every source in the
window's order and the one measured below a tree made for the run.

  dpkg:    /usr/bin/bash of this system (the baseline: the goal is the same
           100 ms that a dpkg program's first click keeps)
  rpm:     a program installed with rpm into a database of the run's own
           (its %_dbpath set through the run's home folder)
  flatpak: a deployed application in an installation of the run's own
  snap:    a snap's program under a snap mount of the run's own, snapd absent

Medians of REPS runs, the sources taking turns; goal: each under 100 ms.
usage: first_page_bench.py FIRST_PAGE_PROBE [REPS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

GOAL_MS = 100.0


def write(path, text, mode=0o644):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as out:
        out.write(text)
    os.chmod(path, mode)


def program(path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    shutil.copy("/bin/true", path)


def rpm_program(run, env):
    """Installs a package whose program lies in the run's folder."""
    target = f"{run}/rpm-files/bin/bench-rpm"
    spec = f"{run}/bench.rpmbuild"
    write(spec, f"""Name: bench-rpm
Version: 1.0
Release: 1
Summary: Benchmark program of an RPM package
License: MIT
Vendor: Bench Vendor
AutoReqProv: no
%description
Benchmark.
%install
mkdir -p %{{buildroot}}{os.path.dirname(target)}
cp /bin/true %{{buildroot}}{target}
%files
{target}
""")
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL, "env": env, "check": True}
    subprocess.run(["rpmbuild", "-bb", "--quiet", "--define", f"_topdir {run}/rpmbuild",
                    "--define", "__os_install_post %{nil}", "--define", "debug_package %{nil}", spec], **quiet)
    package = next(os.path.join(folder, name) for folder, _, names in os.walk(f"{run}/rpmbuild/RPMS")
                   for name in names if name.endswith(".rpm"))
    subprocess.run(["rpm", "-i", "--nodeps", package], **quiet)
    return target


def trees(run):
    """The program of each source and the root its probe reads."""
    env = dict(os.environ, HOME=run)
    # rpm and librpm both read the home folder's macros: the database stays in the run.
    write(f"{run}/.rpmmacros", f"%_dbpath {run}/rpmdb\n")
    app = f"{run}/flatpak/app/org.example.Bench/x86_64/stable/0123abcd/files"
    program(f"{app}/bin/bench")
    write(f"{app}/share/metainfo/org.example.Bench.metainfo.xml",
          '<?xml version="1.0"?>\n<component type="desktop-application"><id>org.example.Bench</id>'
          "<name>Bench</name><summary>Benchmark application</summary>"
          "<developer_name>Bench Developers</developer_name></component>\n")
    snap = f"{run}/snap/snap/bench-snap/7"
    program(f"{snap}/bin/tool")
    write(f"{snap}/meta/snap.yaml", "name: bench-snap\ntitle: Bench Snap\nsummary: Benchmark snap\nversion: '1'\n")
    return env, {
        "dpkg": ("/", "/usr/bin/bash"),
        "rpm": ("/", rpm_program(run, env)),
        "flatpak": (f"{run}/flatpak", f"{app}/bin/bench"),
        "snap": (f"{run}/snap", f"{snap}/bin/tool"),
    }


def main():
    probe = sys.argv[1]
    reps = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    with tempfile.TemporaryDirectory(prefix="proclens-first-page.") as run:
        env, sources = trees(run)
        env["TMPDIR"] = run
        times = {name: [] for name in sources}
        sentences = {}
        for _ in range(reps):
            for name, (root, path) in sources.items():
                out = subprocess.run([probe, name, root, path], env=env, capture_output=True, text=True,
                                     check=True).stdout.rstrip("\n").split("\t")
                times[name].append(float(out[0]))
                os.remove(out[1])
                sentences[name] = out[2] if len(out) > 2 else ""
        if os.path.exists(f"{run}/rpmdb"):
            subprocess.run(["rpm", "-e", "--nodeps", "bench-rpm"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    print(f"first page of a program, built and written in a fresh process, median of {reps}")
    baseline = statistics.median(times["dpkg"])
    for name, values in times.items():
        median = statistics.median(values)
        verdict = "met" if median < GOAL_MS else "missed"
        print(f"  {name:8} {median:7.1f} ms  ({median / baseline:.2f}x dpkg; goal under {GOAL_MS:.0f} ms: {verdict})")
        print(f"           {sentences[name]}")


if __name__ == "__main__":
    main()
