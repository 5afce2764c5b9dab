#!/bin/sh
# proclens.exe under Wine on a virtual X display, with the local test site up
# (run through tests/site/with-test-site.sh): header clicks sort the list in
# the list's order, a click on a process whose page the site has navigates to
# it, shows its address and sends the report once, whose marked reply (with
# a line far longer than the screen is wide) comes up in a message box that
# fits the screen and holds the whole text; Tab and Shift+Tab go round the
# buttons, the list and the browser pane, and the pane keeps its keys;
# Enter on the row does what a click does, and F5 brings in a process
# started after the window opened. The window is read from outside by
# proclens_window_probe.exe (see gui_lib.sh).
#   gui-click-test.sh RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE PROBE_EXE SORT_CHECK ARTIFACT_DIR
set -u

if [ $# -ne 6 ] || [ -z "${PROCLENS_TEST_SITE:-}" ]; then
  echo "usage: with-test-site.sh $0 RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE PROBE_EXE SORT_CHECK ARTIFACT_DIR" >&2
  exit 2
fi
run_under_wine=$1 prefix=$2 program=$3 probe=$4 sort_check=$5 artifacts=$6

fail() {
  echo "FAIL: $*" >&2
  [ -f "$state" ] && cat "$state" >&2
  cat "$PROCLENS_TEST_SITE_LOG" >&2
  exit 1
}
. "$(dirname "$0")/gui_lib.sh"

changed_since() { ! cmp -s "$state" "$work/before"; }
windows_at_least() { [ "$(xdotool search --onlyvisible --name . 2>/dev/null | wc -l)" -ge "$1" ]; }
windows_at_most() { [ "$(xdotool search --onlyvisible --name . 2>/dev/null | wc -l)" -le "$1" ]; }
requests() { grep -c "^$1[^	]*	proclens.exe/1 (Windows" "$PROCLENS_TEST_SITE_LOG"; }
requests_are() { [ "$(requests "$1")" -eq "$2" ]; }
# Column 1's header; the list starts 40 pixels down the client area.
# A pause first, so that two clicks on one header are not a double click.
click_header() {
  sleep 1
  cp "$state" "$work/before"
  click_at "$1" 50
  await changed_since || fail "the header click at $1 did not reach the form"
}

start_display

# The report's reply: a line, then one unbroken line of 1,200 characters.
long_line=$(head -c 900 /dev/zero | tr '\0' x)$(seq -s '' 100 199 | head -c 300)
printf '\247Hello from the test site\n%s' "$long_line" >"$PROCLENS_TEST_SITE_REPLY"
start_program LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 PROCLENS_SITE_BASE="$PROCLENS_TEST_SITE"
sleep 2

# Header clicks: names descending, then paths descending and ascending.
click_header 60
python3 "$sort_check" "$state" 0 desc || fail "not sorted by name, descending"
click_header 300
python3 "$sort_check" "$state" 1 desc || fail "not sorted by path, descending"
click_header 300
python3 "$sort_check" "$state" 1 asc || fail "not sorted by path, ascending"
import -window root "$artifacts/proclens-win32-sorted.png" 2>/dev/null

# Wine's explorer.exe, the site's known page, now lies in the first row.
first=$(awk -F'\t' '$1 == "item" { print $2; exit }' "$state")
[ "$first" = explorer.exe ] || fail "the first row is $first, not explorer.exe"
sleep 1
click_at 60 70
address="${PROCLENS_TEST_SITE}process/explorer.exe.html"
await windows_at_least 2 || fail "no message box for the marked reply"
await state_has '^box' || fail "the probe sees no message box"
import -window root "$artifacts/proclens-win32-message-box.png" 2>/dev/null
# No wider than the screen, and the whole text there, selectable and copied.
grep '^box' "$state" >"$work/box"
IFS='	' read -r _ box_left _ box_width _ screen_width box_text <"$work/box"
[ "$box_left" -ge 0 ] && [ $((box_left + box_width)) -le "$screen_width" ] ||
  fail "the message box spans $box_left+$box_width on a screen $screen_width wide"
[ "$box_text" = "Hello from the test site\\r\\n$long_line" ] ||
  fail "selecting and copying the message box's text gave: $box_text"
xdotool key Return
await windows_at_most 1 || fail "the message box did not close"
# The window writes its state when the click handler has returned, after the box.
await state_has "$(printf '^status\t%s$' "$address")" || fail "the status bar does not show $address"
[ "$(requests /process/explorer.exe.html)" -eq 1 ] || fail "no status test of the online page"
[ "$(requests /cgi/kestrel.pl)" -eq 1 ] || fail "the report was not sent once"

sleep 1
click_at 60 70  # the same row again: a new status test, no second report
await requests_are /process/explorer.exe.html 2 || true
sleep 1
[ "$(requests /process/explorer.exe.html)" -eq 2 ] || fail "no second status test"
[ "$(requests /cgi/kestrel.pl)" -eq 1 ] || fail "the report went out twice"
import -window root "$artifacts/proclens-win32-online.png" 2>/dev/null

# Enter on the selected row does what a click does: one more status test.
xdotool key Return
await requests_are /process/explorer.exe.html 3 || fail "Enter on the row asked for no page"

# Tab and Shift+Tab go round the pressed view button, the list and the pane.
focus_is() { state_has "$(printf '^focus\t%s$' "$1")"; }
await focus_is list || fail "the list does not have the focus: $(grep '^focus' "$state")"
for step in Tab:pane Tab:report Tab:list shift+Tab:report shift+Tab:pane; do
  xdotool key "${step%%:*}"
  await focus_is "${step#*:}" || fail "${step%%:*} gave the focus to $(grep '^focus' "$state"), not ${step#*:}"
done
# In the pane its keys stay there: neither the list nor the window acts on
# them. (Wine has no HTML engine here, so what a page does with them cannot be seen.)
xdotool key Down Return Up
sleep 1
focus_is pane || fail "keys in the pane moved the focus: $(grep '^focus' "$state")"
[ "$(requests /process/explorer.exe.html)" -eq 3 ] || fail "Enter in the pane reached the list"
xdotool key Tab Tab
await focus_is list || fail "Tab did not come back to the list"

# F5 fills the list anew: a process started after the window opened comes in.
state_has "$(printf '^item\tping.exe\t')" && fail "ping.exe is listed before it was started"
PROCLENS_WINE_TIMEOUT=60 "$run_under_wine" "$prefix" ping.exe -n 50 127.0.0.1 >/dev/null 2>&1 &
pinger=$!
sleep 3
xdotool key F5
await state_has "$(printf '^item\tping.exe\t')" || { kill "$pinger"; fail "F5 did not bring in ping.exe"; }
kill "$pinger" 2>/dev/null
import -window root "$artifacts/proclens-win32-refreshed.png" 2>/dev/null

echo "header sort, online page, report once with its long message fitted, Enter, Tab, F5 (Win32 under Wine)"
