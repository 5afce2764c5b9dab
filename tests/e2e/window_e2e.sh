#!/usr/bin/env bash
# End-to-end test of the proclens window under Xvfb: start it, find a child
# process of ours in its list, switch the three view styles with the mouse,
# resize the window, close it like a window manager would and check the exit
# code. The window is read as a screen reader reads it, through AT-SPI on a
# private bus (atspi_probe.py), and its sizes as the X server has them;
# screenshots of each state are kept as artifacts.
#
# usage: window_e2e.sh PROCLENS CLOSE-HELPER ARTIFACT-DIR en|de
set -uo pipefail

proclens=$1 close_window=$2 artifacts=$3 language=$4
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/proclens-e2e.XXXXXX)
pids=()
app_pid=

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/proclens.log" ] && tail -n 20 "$work/proclens.log" >&2
  exit 1
}
. "$(dirname "$0")/e2e_lib.sh"
trap stop_all EXIT

require_tools Xvfb xdotool xdpyinfo dbus-daemon
choose_language "$language"

start_desktop 90

# The child: a copy of sleep under a name of its own, with a bounded life.
cp "$(command -v sleep)" "$work/pl-e2e-child"
"$work/pl-e2e-child" 120 &
child_pid=$!
pids+=("$child_pid")

snapshot() {
  local file="$artifacts/window-$language-$1.png"
  timeout 20 import -window root "$file" && echo "artifact: $file"
}
view_is() { [ "$(probe view)" = "$1" ]; }
button_down() { probe buttons | awk -F'\t' -v n="$1" '$1 == n && $5 == "down" { found = 1 } END { exit !found }'; }
menu_open() { probe menu >/dev/null; }
app_alive() { kill -0 "$app_pid" 2>/dev/null || fail "proclens ended early"; }

env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=$lang_env timeout 120 "$proclens" >"$work/proclens.log" 2>&1 &
app_pid=$!

window=$(find_window --pid "$app_pid" --name ProcLens)
[ -n "$window" ] || fail "no window named ProcLens appeared"
wait_for 30 probe row pl-e2e-child >/dev/null || fail "the list is not on the accessibility bus"
sleep 1
snapshot start

# Our child is listed with its name and its full path, and that row is the
# child's process.
IFS=$'\t' read -r caption path _ < <(probe row pl-e2e-child)
[ "$caption" = pl-e2e-child ] && [ "$path" = "$work/pl-e2e-child" ] || fail "the child's row reads '$caption' '$path'"
pids_of_row "$caption" "$path" | grep -qx "$child_pid" || fail "the row pl-e2e-child is not process $child_pid"
probe rows >"$work/rows-before"
item_count=$(wc -l <"$work/rows-before")
[ "$item_count" -ge 2 ] || fail "only $item_count items"

probe columns >"$work/columns"
headline=$(probe headline)
if [ "$language" = de ]; then
  buttons=("Große Symbole" "Kleine Symbole" "Details")
  [[ $headline == "Was läuft auf ihrem Rechner?"*$'\n'"Finden sie es heraus"* ]] || fail "German headline: $headline"
  [ "$(cut -f1 "$work/columns" | paste -sd,)" = "Aktive Prozesse,Datei,Dateigröße" ] ||
    fail "German columns: $(cut -f1 "$work/columns" | paste -sd,)"
else
  buttons=("Large icons" "Small icons" "Details")
  [[ $headline == "What is running on your computer?"*$'\n'"Check it out"* ]] || fail "English headline: $headline"
  [ "$(cut -f1 "$work/columns" | paste -sd,)" = "Running process,File,File size" ] ||
    fail "English columns: $(cut -f1 "$work/columns" | paste -sd,)"
fi
view_is report || fail "the list does not start in report view"
probe buttons | awk -F'\t' -v n="${buttons[2]}" '$1 == n && $3 == 7 && $5 == "down" { found = 1 } END { exit !found }' ||
  fail "the report button is not down at start: $(probe buttons | tr '\t\n' ' |')"

# Clicks the middle of a view-style button where the window shows it.
click_button() {
  local name=$1 left top width
  read -r left top width < <(probe buttons | awk -F'\t' -v n="$name" '$1 == n { print $2, $3, $4 }')
  [ -n "$left" ] || fail "no position for the $name button"
  timeout 10 xdotool mousemove --window "$window" $((left + width / 2)) $((top + 13)) click 1
}

# The context menu opens on a right click on an item in every view.
right_click_first_item() {
  local x=$1 y=$2 view
  view=$(probe view)
  timeout 10 xdotool mousemove --window "$window" "$x" "$y" click 3
  wait_for 10 menu_open || fail "no context menu in the $view view"
  snapshot "menu-$view"
  timeout 10 xdotool key Escape
  wait_for 10 bash -c "! /usr/bin/python3 '$e2e_dir/atspi_probe.py' menu >/dev/null" || fail "the context menu did not close"
}
right_click_first_item 60 70

views=(large small report)
for index in 0 1 2; do
  view=${views[$index]}
  click_button "${buttons[$index]}"
  wait_for 10 view_is "$view" || fail "the list did not switch to $view"
  button_down "${buttons[$index]}" || fail "the $view button is not down"
  app_alive
  [ "$view" = report ] || right_click_first_item 40 60
  sleep 0.5
  snapshot "$view"
done
probe rows | cmp -s - "$work/rows-before" || fail "switching views changed the items or their order"

# A smaller window: column 1 takes the change, the buttons follow the right edge.
client_width() { xdotool getwindowgeometry "$window" | awk '/Geometry:/ { split($2, size, "x"); print size[1] }'; }
timeout 10 xdotool windowsize "$window" 900 650
wait_for 10 bash -c "[ \"\$(xdotool getwindowgeometry '$window' | awk '/Geometry:/ { print \$2 }')\" = 900x650 ]" ||
  fail "the window did not take the new size"
app_alive
report_at_edge() {
  read -r report_left report_width < <(probe buttons | awk -F'\t' -v n="${buttons[2]}" '$1 == n { print $2, $4 }')
  [ "$report_left" -eq $(($(client_width) - report_width - 10)) ]
}
wait_for 10 report_at_edge || fail "report button at $report_left after the resize"
sleep 0.5
snapshot resized

# Close as a window manager would; the program must end by itself, with 0.
timeout 10 "$close_window" "$window" || fail "could not send the close request"
exit_code=
for _ in $(seq 1 100); do
  if ! kill -0 "$app_pid" 2>/dev/null; then wait "$app_pid"; exit_code=$?; break; fi
  sleep 0.1
done
[ -n "$exit_code" ] || fail "proclens did not end after the close request"
app_pid=
[ "$exit_code" -eq 0 ] || { cat "$work/proclens.log" >&2; fail "proclens ended with $exit_code"; }
echo "PASS: $item_count processes listed, three views, resize and close ($language)"
