#!/bin/sh
# Starts proclens.exe under Wine on a virtual X display and checks that its
# window shows, that the list holds Wine's own processes, and that the
# program ends by itself, with exit code 0, once the window is closed.
#   gui-smoke-test.sh RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE ARTIFACT_DIR
# The screenshot of the window is kept as ARTIFACT_DIR/proclens-win32.png.
set -u

if [ $# -ne 4 ]; then
  echo "usage: $0 RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE ARTIFACT_DIR" >&2
  exit 2
fi
run_under_wine=$1
prefix=$2
program=$3
artifacts=$4
mkdir -p "$artifacts"
work=$(mktemp -d)
xvfb_pid=
program_pid=

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: Xvfb picks a free number and writes it to the pipe.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.2
done
[ -s "$work/display" ] || fail "Xvfb did not start"
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY

PROCLENS_DUMP_LIST="$work/list.txt" PROCLENS_WINE_TIMEOUT=180 \
  "$run_under_wine" "$prefix" "$program" >"$work/program.log" 2>&1 &
program_pid=$!

# The dump is written after the fill, before the window is shown.
window=$(timeout 120 xdotool search --sync --onlyvisible --name "ProcLens" 2>/dev/null | head -n1)
[ -n "$window" ] || fail "no ProcLens window appeared"
for _ in $(seq 50); do
  [ -s "$work/list.txt" ] && break
  sleep 0.2
done
sleep 2  # let the first frame be drawn
if command -v import >/dev/null 2>&1; then
  import -window root "$artifacts/proclens-win32.png" || echo "no screenshot taken" >&2
fi
cp "$work/list.txt" "$artifacts/proclens-win32-list.txt" 2>/dev/null

grep -qi "$(printf 'item\t[0-9]*\tservices.exe\tC:\\\\windows\\\\system32\\\\services.exe')" "$work/list.txt" ||
  fail "services.exe is not listed with its path: $(cat "$work/list.txt")"
grep -qi "$(printf '\tproclens.exe\t')" "$work/list.txt" || fail "the program does not list itself"
items=$(grep -c '^item' "$work/list.txt")
[ "$items" -ge 4 ] || fail "only $items processes listed"

# Close the window as a user would: focus it with a click, then Alt+F4.
xdotool mousemove --window "$window" 300 100 click 1
sleep 1
xdotool key alt+F4
for _ in $(seq 150); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$program_pid" 2>/dev/null; then
  fail "the program did not end after its window was closed"
fi
wait "$program_pid"
status=$?
program_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/program.log")"
echo "window shown, $items processes listed, ended cleanly"
