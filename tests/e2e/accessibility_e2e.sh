#!/usr/bin/env bash
# The proclens window as a screen reader and a keyboard user meet it, under
# Xvfb with the accessibility bus on a private session bus: the controls'
# names in the window's language, the three texts of a row, Enter on a row
# (an offline page, an online page, and online pages that fail in the pane),
# the context menu from the keyboard, a right-click on the header, and F5
# bringing in a process started after the window opened. Everything is read
# through AT-SPI (atspi_probe.py), nothing through hooks in the program.
#
# usage: accessibility_e2e.sh PROCLENS ARTIFACT-DIR en|de
set -uo pipefail

proclens=$1 artifacts=$2 language=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/proclens-a11y.XXXXXX)
pages=$work/pages
mkdir -p "$pages"
pids=()
app_pid=

. "$here/e2e_lib.sh"
trap stop_all EXIT

require_tools Xvfb xdotool xdpyinfo dbus-daemon import
choose_language "$language"

start_desktop 700

snapshot() { timeout 20 import -window root "$artifacts/a11y-$language-$1.png" && echo "artifact: $artifacts/a11y-$language-$1.png"; }
status_is() { [ "$(probe status)" = "$1" ]; }
selected_is() { [ "$(probe selected)" = "$1" ]; }
focus_on_list() { probe focused | grep -q '^table'; }
menu_shows() { probe menu | grep -qxF "$1"; }

# Children with names of their own: one the site does not know, one it knows,
# two whose pages pass the status test and then fail in the pane.
start_children a11y-offline a11y-online a11y-reset a11y-error
start_test_site --pages a11y-online --fail-in-browser a11y-reset:reset,a11y-error:500

env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=$lang_env TMPDIR="$pages" PROCLENS_SITE_BASE="$site" \
  timeout 200 "$proclens" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(find_window --pid "$app_pid" --name ProcLens)
[ -n "$window" ] || fail "no window appeared"
wait_for 30 probe row a11y-error >/dev/null || fail "the list is not on the accessibility bus"
sleep 1.5  # the browser pane is made after the first frame
# No window manager runs: the window takes the keyboard focus itself.
timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus the window"

# ---- 1. Every control has its name, in the window's language.
probe names >"$work/names"
if [ "$language" = de ]; then
  buttons=("Große Symbole" "Kleine Symbole" "Details") list_name="Aktive Prozesse" pane_name=Informationsseite
  pages_at=${site}prozess/ menu_item="Zeige im Dateimanager"
else
  buttons=("Large icons" "Small icons" "Details") list_name="Running processes" pane_name="Information page"
  pages_at=${site}process/ menu_item="Open file location"
fi
for expected in "radio button	${buttons[0]}" "radio button	${buttons[1]}" "radio button	${buttons[2]}" \
                "icon	proclens.example" "table	$list_name" "filler	$pane_name"; do
  grep -qxF "$expected" "$work/names" || fail "no control named '$expected'; names: $(tr '\n' '|' <"$work/names")"
done

# ---- 2. A row reads as its three texts.
IFS=$'\t' read -r caption path size < <(probe row a11y-offline)
[ "$caption" = a11y-offline ] && [ "$path" = "$work/a11y-offline" ] ||
  fail "the row reads '$caption' '$path'"
bytes=$(stat -c %s "$work/a11y-offline")
[ "$(printf '%s' "$size" | tr -cd '0-9')" = "$bytes" ] && [[ $size == *" byte" ]] ||
  fail "the size reads '$size' for $bytes bytes"

# ---- 3. The keyboard: Tab brings the focus back to the list, the arrows move
# the selection, Enter does what a click does.
for _ in 1 2 3 4 5 6; do
  focus_on_list && break
  timeout 10 xdotool key Tab
  sleep 0.3
done
focus_on_list || fail "Tab does not reach the list: $(probe focused)"
# The arrows move the selection one row from where the list's cursor is.
timeout 10 xdotool key Down
wait_for 10 probe selected-row >/dev/null || fail "Down selected nothing"
row_after_down=$(probe selected-row)
timeout 10 xdotool key Down
wait_for 10 bash -c "[ \"\$(/usr/bin/python3 '$here/atspi_probe.py' selected-row)\" = $((row_after_down + 1)) ]" ||
  fail "Down did not move the selection from row $row_after_down"
timeout 10 xdotool key Up
wait_for 10 bash -c "[ \"\$(/usr/bin/python3 '$here/atspi_probe.py' selected-row)\" = $row_after_down ]" ||
  fail "Up did not move the selection back to row $row_after_down"
# A screen reader hears why the row's process runs, as the tooltip shows it.
user_words="for the user "
[ "$language" = de ] && user_words="für den Benutzer "
probe selected-description | grep -qF "$user_words" ||
  fail "the row under the cursor has no description of why it runs: $(probe selected-description)"

probe select a11y-offline || fail "cannot select a11y-offline"
wait_for 10 selected_is a11y-offline || fail "the selection did not come"
notice=$(probe status)
timeout 10 xdotool key Return
wait_for 15 more_pages_than 0 || fail "Enter on an unknown process brought no offline page"
status_is "$notice" || fail "the status bar changed on an offline page"
snapshot offline

# An online page: Enter shows it and the status bar names its address.
probe select a11y-online && wait_for 10 selected_is a11y-online || fail "cannot select a11y-online"
timeout 10 xdotool key Return
wait_for 15 status_is "${pages_at}a11y-online.html" || fail "Enter did not show the online page"

# Pages that pass the status test and fail in the pane: the offline page comes.
for name in a11y-reset a11y-error; do
  before=$(page_count)
  probe select "$name" && wait_for 10 selected_is "$name" || fail "cannot select $name"
  timeout 10 xdotool key Return
  wait_for 15 status_is "${pages_at}$name.html" || fail "the online page of $name was not asked for"
  wait_for 15 more_pages_than "$before" || fail "a failed load of $name brought no offline page"
  grep -lF "$name" "$pages"/htm* >/dev/null || fail "the new page is not about $name"
done
snapshot failed-load

# ---- 4. The context menu from the keyboard, on the selected row.
for keys in Menu shift+F10; do
  timeout 10 xdotool key "$keys"
  wait_for 10 menu_shows "$menu_item" || fail "$keys did not open the context menu"
  snapshot "menu-$keys"
  timeout 10 xdotool key Escape
  wait_for 10 bash -c "! /usr/bin/python3 '$here/atspi_probe.py' menu >/dev/null" || fail "the menu did not close"
done
selected_is a11y-error || fail "the menu keys changed the selection"

# ---- 5. A right-click on the header selects no row.
read -r hx hy hw hh < <(probe header 1)
timeout 10 xdotool mousemove $((hx + hw / 2)) $((hy + hh / 2)) click 3
sleep 0.5
timeout 10 xdotool key Escape
selected_is a11y-error || fail "a right-click on the header changed the selection to $(probe selected)"

# ---- 6. F5: a process started now comes in; the selection stays.
probe row a11y-late >/dev/null && fail "a11y-late is listed before it was started"
start_children a11y-late
timeout 10 xdotool key F5
wait_for 15 probe row a11y-late >/dev/null || fail "F5 did not bring in a11y-late"
selected_is a11y-error || fail "F5 lost the selection: $(probe selected)"
snapshot refreshed

echo "PASS: names, rows, keyboard, failed loads, context menu and F5 through AT-SPI ($language)"
