#!/bin/sh
# Starts proclens.exe under Wine on a virtual X display and checks that its
# window shows with the list of Wine's own processes, that the window's
# events reach the form (new size, view-style buttons), that a German user
# gets the German texts, and that the program ends by itself, with exit code
# 0, once its window is closed. The window is read from outside by
# proclens_window_probe.exe (see gui_lib.sh).
#   gui-smoke-test.sh RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE PROBE_EXE ARTIFACT_DIR
# The screenshot of the window is kept as ARTIFACT_DIR/proclens-win32.png,
# the window's last state as ARTIFACT_DIR/proclens-win32-state.txt.
set -u

if [ $# -ne 5 ]; then
  echo "usage: $0 RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE PROBE_EXE ARTIFACT_DIR" >&2
  exit 2
fi
run_under_wine=$1 prefix=$2 program=$3 probe=$4 artifacts=$5

fail() {
  echo "FAIL: $*" >&2
  [ -f "$state" ] && cp "$state" "$artifacts/proclens-win32-state.txt"
  exit 1
}
. "$(dirname "$0")/gui_lib.sh"

click_button() {
  set -- $(awk -F'\t' -v name="$1" '$1 == "button" && $2 == name { print $3, $4, $5 }' "$state")
  click_at $(($1 + $3 / 2)) $(($2 + 10))
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

start_display

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
client=$(record client)
vscroll=$(record vscroll)
widths=$(awk -F'\t' '$1 == "column" { printf "%s ", $4 }' "$state")
set -- $widths
expected=$((client - $1 - $3 - 2 * vscroll))
[ "$expected" -lt 0 ] && expected=0
[ "$2" -eq "$expected" ] || fail "column 1 is $2 wide, not $expected"

# The program's own row shows its icon, appended after the two fixed pictures.
own_image=$(awk -F'\t' 'tolower($2) == "proclens.exe" { print $4; exit }' "$state")
[ "${own_image:--1}" -ge 2 ] || fail "proclens.exe's row has image $own_image"

# A new size: the list takes the difference, the browser pane keeps its height.
panes() { awk -F'\t' '$1 == "panes" { print $2, $3, $4, $5 }' "$state"; }
set -- $(panes)
[ "$1" -eq 40 ] && [ "$4" -eq 360 ] || fail "panes at start: $(panes)"
list_height=$2
xdotool windowsize "$window" 760 520
await state_matches '$1 == "client" && $2 == 760' || fail "the window did not take its new size"
set -- $(panes)
[ "$4" -eq 360 ] && [ "$2" -lt "$list_height" ] || fail "panes after a new size: $(panes)"
grep -q "$(printf '^column\t1\tFile\t%d$' $((760 - 244 - 2 * vscroll)))" "$state" ||
  fail "column 1 not recomputed for the new width"

# Dragging the splitter up by 50 pixels gives the browser pane 50 more.
splitter=$(($1 + $2 + 2))
xdotool mousemove --window "$window" 300 "$splitter" mousedown 1 \
  mousemove --window "$window" 300 $((splitter - 25)) mousemove --window "$window" 300 $((splitter - 50)) \
  mouseup 1
await state_matches '$1 == "panes" && $5 == 410' || fail "the splitter did not move: $(panes)"

view_is() { [ "$(record view)" = "$1" ]; }
view_is Report || fail "the list does not start in report view"
before=$(item_order)
for step in large:LargeIcons small:SmallIcons report:Report; do
  click_button "${step%%:*}"
  await view_is "${step#*:}" || fail "the ${step%%:*} button did not change the view"
done
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
await state_matches '$1 == "menu"' || fail "no context menu on a right click"
xdotool key Escape
close_program

echo "window shown, $items processes listed, view styles switched, German texts shown, ended cleanly"
