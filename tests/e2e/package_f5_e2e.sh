#!/usr/bin/env bash
# F5 after an application was installed while the window runs. A tiny Debian
# package, built here with dpkg-deb, holds a program (a copy of sleep) and a
# desktop entry that runs it, with an icon of one plain colour. It is
# installed with dpkg -i while the window shows, its program started and F5
# pressed: the new process's row must then show that icon. What is asserted
# is what AT-SPI and the screen give: AT-SPI places the row's first cell, and
# the screen shows the icon's colour there. The package is removed in every
# case (dpkg -P), leaving the machine as it was.
#
# usage: package_f5_e2e.sh PROCLENS ARTIFACT-DIR
set -uo pipefail

proclens=$1 artifacts=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/proclens-f5.XXXXXX)
pids=()
app_pid=
package=proclens-f5-probe
program="/usr/lib/$package/!0f5-probe"
installed=

. "$here/e2e_lib.sh"
finish() {
  stop_all
  if [ -n "$installed" ]; then
    dpkg -P "$package" >/dev/null 2>&1 || echo "could not remove $package: remove it by hand" >&2
  fi
}
trap finish EXIT
trap 'exit 1' INT TERM

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
require_tools Xvfb xdotool xdpyinfo dbus-daemon dpkg dpkg-deb
dpkg -s "$package" >/dev/null 2>&1 && skip "$package is installed already; the test leaves it alone"

# The package: the program, its desktop entry and its magenta icon.
root=$work/package
mkdir -p "$root/DEBIAN" "$root/usr/lib/$package" "$root/usr/share/applications" "$root/usr/share/pixmaps"
cp "$(command -v sleep)" "$root$program"
icon=/usr/share/pixmaps/$package.png
/usr/bin/python3 - "$root$icon" <<'ICON' || fail "cannot draw the icon"
import sys
import gi
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf
picture = GdkPixbuf.Pixbuf.new(GdkPixbuf.Colorspace.RGB, False, 8, 32, 32)
picture.fill(0xFF00FFFF)
picture.savev(sys.argv[1], "png", [], [])
ICON
cat >"$root/usr/share/applications/$package.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=ProcLens F5 probe
Exec=$program 300
Icon=$icon
ENTRY
cat >"$root/DEBIAN/control" <<CONTROL
Package: $package
Version: 1.0
Architecture: $(dpkg --print-architecture)
Maintainer: ProcLens tests <tests@proclens.example>
Description: program and desktop entry for a ProcLens test
 Installed and removed by the test that builds it.
CONTROL
dpkg-deb --root-owner-group --build "$root" "$work/$package.deb" >/dev/null || fail "dpkg-deb could not build the package"

start_desktop 800

env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=C.UTF-8 XDG_DATA_HOME="$work/xdg-data" XDG_DATA_DIRS=/usr/share \
  timeout 150 "$proclens" >"$work/app.log" 2>&1 &
app_pid=$!
await_window
sleep 1

# Installed while the window runs (another dpkg may hold the lock a moment).
installed=yes
for _ in $(seq 1 30); do
  dpkg -i "$work/$package.deb" >"$work/dpkg.log" 2>&1 && break
  grep -q 'lock' "$work/dpkg.log" || fail "dpkg -i failed: $(cat "$work/dpkg.log")"
  sleep 1
done
dpkg -s "$package" >/dev/null 2>&1 || fail "dpkg -i did not install $package: $(cat "$work/dpkg.log")"
"$program" 300 &
pids+=($!)

probe row '!0f5-probe' >/dev/null && fail "the new process is listed before F5"
timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus the window"
timeout 10 xdotool key F5
wait_for 15 probe row '!0f5-probe' >/dev/null || fail "F5 did not bring in the new process"

# Names ascending put the row first, in sight.
first_is_ours() { [ "$(probe rows | head -1 | cut -f1)" = '!0f5-probe' ]; }
sort_names_until first_is_ours || fail "the new process's row is not first: $(probe rows | head -3 | cut -f1 | paste -sd,)"
shows_icon() { [ "$(probe icon-pixels '!0f5-probe' 255 0 255)" -ge 150 ]; }
wait_for 10 shows_icon || fail "the new process's row shows $(probe icon-pixels '!0f5-probe' 255 0 255) pixels of its icon"
timeout 20 import -window root "$artifacts/package-f5.png" && echo "artifact: $artifacts/package-f5.png"
echo "PASS: F5 gave the application installed meanwhile its desktop entry's icon"
