#!/bin/sh
# Starts proclens.exe under Wine on a virtual X display and checks that its
# window shows with the list of Wine's own processes, that the window's
# events reach the form (new size, view-style buttons), that a German user
# gets the German texts, and that the program ends by itself, with exit code
# 0, once its window is closed. The window is read from outside by
# proclens_window_probe.exe (its records are described there).
#   gui-smoke-test.sh RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE PROBE_EXE ARTIFACT_DIR
# The screenshot of the window is kept as ARTIFACT_DIR/proclens-win32.png,
# the window's last state as ARTIFACT_DIR/proclens-win32-state.txt.
set -u

if [ $# -ne 5 ]; then
  echo "usage: $0 RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE PROBE_EXE ARTIFACT_DIR" >&2
  exit 2
fi
run_under_wine=$1
prefix=$2
program=$3
probe=$4
artifacts=$5
mkdir -p "$artifacts"
work=$(mktemp -d)
state="$work/state.txt"
xvfb_pid=
program_pid=
probe_pid=
window=

fail() {
  echo "FAIL: $*" >&2
  [ -f "$state" ] && cp "$state" "$artifacts/proclens-win32-state.txt"
  exit 1
}

cleanup() {
  [ -n "$probe_pid" ] && kill -- "-$probe_pid" 2>/dev/null
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The value of a one-field record of the state file ("view", "browser", ...).
record() { awk -F'\t' -v key="$1" '$1 == key { print $2; exit }' "$state"; }

# Waits until the state file holds a line matching the pattern (awk regex).
await_state() {
  for _ in $(seq 100); do
    [ -f "$state" ] && awk -F'\t' "$1 { found = 1 } END { exit !found }" "$state" && return 0
    sleep 0.1
  done
  return 1
}

# start_program [ENV=VALUE ...]: runs the program, waits for its window and
# has the probe read it into $state from then on.
start_program() {
  rm -f "$state"
  env "$@" PROCLENS_WINE_TIMEOUT=180 \
    "$run_under_wine" "$prefix" "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  window=$(timeout 120 xdotool search --sync --onlyvisible --name "ProcLens" 2>/dev/null | head -n1)
  [ -n "$window" ] || fail "no ProcLens window appeared"
  PROCLENS_WINE_TIMEOUT=180 setsid "$run_under_wine" "$prefix" "$probe" watch "Z:$state" >"$work/probe.log" 2>&1 &
  probe_pid=$!
  await_state '$1 == "item"' || fail "the probe read no list"
}

# Clicks a point of the window's client area (Wine's X window is the client area).
click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

click_button() {
  line=$(awk -F'\t' -v name="$1" '$1 == "button" && $2 == name' "$state")
  left=$(echo "$line" | cut -f3)
  top=$(echo "$line" | cut -f4)
  width=$(echo "$line" | cut -f5)
  click_at $((left + width / 2)) $((top + 10))
}

# Closes the window as a user would: focus it with a click, then Alt+F4.
close_program() {
  click_at 300 100
  sleep 0.5
  xdotool key alt+F4
  for _ in $(seq 150); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program did not end after its window was closed"
  wait "$program_pid"
  status=$?
  program_pid=
  wait "$probe_pid" 2>/dev/null  # it ends with the window
  probe_pid=
  [ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$work/program.log")"
}

item_order() { awk -F'\t' '$1 == "item" { print $2 }' "$state" | tr '\n' ' '; }

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

# English user: the list, the layout, the view styles.
start_program LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
sleep 2  # let the first frame be drawn
if command -v import >/dev/null 2>&1; then
  import -window root "$artifacts/proclens-win32.png" || echo "no screenshot taken" >&2
fi
grep -qi "$(printf 'item\tservices.exe\tC:\\\\windows\\\\system32\\\\services.exe\t')" "$state" ||
  fail "services.exe is not listed with its path"
grep -qi "$(printf '^item\tproclens.exe\t')" "$state" || fail "the program does not list itself"
items=$(grep -c '^item' "$state")
[ "$items" -ge 4 ] || fail "only $items processes listed"
grep -q "$(printf '^column\t0\tRunning process\t')" "$state" || fail "English column captions missing"

# The form sized column 1 from the client width when the window got its size.
client=$(awk -F'\t' '$1 == "client" { print $2 }' "$state")
vscroll=$(record vscroll)
widths=$(awk -F'\t' '$1 == "column" { printf "%s ", $4 }' "$state")
set -- $widths
expected=$((client - $1 - $3 - 2 * vscroll))
[ "$expected" -lt 0 ] && expected=0
[ "$2" -eq "$expected" ] || fail "column 1 is $2 wide, not $expected"

# The program's own row shows its icon, appended after the two fixed pictures.
own_image=$(awk -F'\t' 'tolower($2) == "proclens.exe" { print $5; exit }' "$state")
[ "${own_image:--1}" -ge 2 ] || fail "proclens.exe's row has image $own_image"

# A new size: the list takes the difference, the browser pane keeps its height.
panes() { awk -F'\t' '$1 == "panes" { print $2, $3, $4, $5 }' "$state"; }
set -- $(panes)
[ "$1" -eq 40 ] && [ "$4" -eq 360 ] || fail "panes at start: $(panes)"
list_height=$2
xdotool windowsize "$window" 760 520
await_state '$1 == "client" && $2 == 760' || fail "the window did not take its new size"
set -- $(panes)
[ "$4" -eq 360 ] && [ "$2" -lt "$list_height" ] || fail "panes after a new size: $(panes)"
grep -q "$(printf '^column\t1\tFile\t%d$' $((760 - 244 - 2 * vscroll)))" "$state" ||
  fail "column 1 not recomputed for the new width"

# Dragging the splitter up by 50 pixels gives the browser pane 50 more.
splitter=$(($1 + $2 + 2))
xdotool mousemove --window "$window" 300 "$splitter" mousedown 1 \
  mousemove --window "$window" 300 $((splitter - 25)) mousemove --window "$window" 300 $((splitter - 50)) \
  mouseup 1
await_state '$1 == "panes" && $5 == 410' || fail "the splitter did not move: $(panes)"

[ "$(record view)" = Report ] || fail "the list does not start in report view"
before=$(item_order)
click_button large
await_state '$1 == "view" && $2 == "LargeIcons"' || fail "the large-icons button did not change the view"
click_button small
await_state '$1 == "view" && $2 == "SmallIcons"' || fail "the small-icons button did not change the view"
click_button report
await_state '$1 == "view" && $2 == "Report"' || fail "the report button did not change the view"
[ "$(item_order)" = "$before" ] || fail "the view styles changed the order of the items"
cp "$state" "$artifacts/proclens-win32-state.txt"
close_program

# German user: the German texts. The context menu opens on a right click on
# a row; its items cannot be read from another process under Wine (neither
# its menu nor MSAA gives them), so their German caption is left to the
# window's own tests.
start_program LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
grep -q "$(printf '^column\t0\tAktive Prozesse\t')" "$state" || fail "German column captions missing"
grep -q "$(printf '^top_label\tWas l\303\244uft auf ihrem Rechner?')" "$state" || fail "German headline missing"
xdotool mousemove --window "$window" 60 70 click 3
await_state '$1 == "menu"' || fail "no context menu on a right click"
xdotool key Escape
close_program

echo "window shown, $items processes listed, view styles switched, German texts shown, ended cleanly"
