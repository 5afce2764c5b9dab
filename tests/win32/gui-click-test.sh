#!/bin/sh
# proclens.exe under Wine on a virtual X display, with the local test site up
# (run through tests/site/with-test-site.sh): header clicks sort the list in
# the list's order, a click on a process whose page the site has navigates to
# it, shows its address and sends the report once, whose marked reply comes
# up in a message box; Enter on the row does the same, and F5 brings in a
# process started after the window opened.
#   gui-click-test.sh RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE SORT_CHECK ARTIFACT_DIR
set -u

if [ $# -ne 5 ] || [ -z "${PROCLENS_TEST_SITE:-}" ]; then
  echo "usage: with-test-site.sh $0 RUN_UNDER_WINE PREFIX_DIR PROCLENS_EXE SORT_CHECK ARTIFACT_DIR" >&2
  exit 2
fi
run_under_wine=$1 prefix=$2 program=$3 sort_check=$4 artifacts=$5
mkdir -p "$artifacts"
work=$(mktemp -d)
state="$work/state.txt"
xvfb_pid= program_pid=

fail() {
  echo "FAIL: $*" >&2
  [ -f "$state" ] && grep -v '^item' "$state" >&2
  cat "$PROCLENS_TEST_SITE_LOG" >&2
  exit 1
}
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

await() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
state_has() { [ -f "$state" ] && grep -q "$1" "$state"; }
changed_since() { ! cmp -s "$state" "$work/before"; }
windows_at_least() { [ "$(xdotool search --onlyvisible --name . 2>/dev/null | wc -l)" -ge "$1" ]; }
windows_at_most() { [ "$(xdotool search --onlyvisible --name . 2>/dev/null | wc -l)" -le "$1" ]; }
requests() { grep -c "^$1[^	]*	proclens.exe/1 (Windows" "$PROCLENS_TEST_SITE_LOG"; }
click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# Column 1's header; the list starts 40 pixels down the client area.
# A pause first, so that two clicks on one header are not a double click.
click_header() {
  sleep 1
  cp "$state" "$work/before"
  click_at "$1" 50
  await changed_since || fail "the header click at $1 did not reach the form"
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
await test -s "$work/display" || fail "Xvfb did not start"
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY

printf '\247Hello from the test site' >"$PROCLENS_TEST_SITE_REPLY"
env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 PROCLENS_SITE_BASE="$PROCLENS_TEST_SITE" \
  PROCLENS_DUMP_LIST="$state" PROCLENS_WINE_TIMEOUT=180 \
  "$run_under_wine" "$prefix" "$program" >"$work/program.log" 2>&1 &
program_pid=$!
window=$(timeout 120 xdotool search --sync --onlyvisible --name "ProcLens" 2>/dev/null | head -n1)
[ -n "$window" ] || fail "no ProcLens window appeared"
await state_has '^item' || fail "the window wrote no list"
sleep 2

# Header clicks: names descending, then paths descending and ascending.
click_header 60
python3 "$sort_check" "$state" 0 desc raw || fail "not sorted by name, descending"
click_header 300
python3 "$sort_check" "$state" 1 desc raw || fail "not sorted by path, descending"
click_header 300
python3 "$sort_check" "$state" 1 asc raw || fail "not sorted by path, ascending"
import -window root "$artifacts/proclens-win32-sorted.png" 2>/dev/null

# Wine's explorer.exe, the site's known page, now lies in the first row.
first=$(awk -F'\t' '$1 == "item" { print $3; exit }' "$state")
[ "$first" = explorer.exe ] || fail "the first row is $first, not explorer.exe"
sleep 1
click_at 60 70
address="${PROCLENS_TEST_SITE}process/explorer.exe.html"
await windows_at_least 2 || fail "no message box for the marked reply"
import -window root "$artifacts/proclens-win32-message-box.png" 2>/dev/null
xdotool key Return
await windows_at_most 1 || fail "the message box did not close"
# The window writes its state when the click handler has returned, after the box.
await state_has "$(printf '^status\t%s$' "$address")" || fail "the status bar does not show $address"
[ "$(requests /process/explorer.exe.html)" -eq 1 ] || fail "no status test of the online page"
[ "$(requests /cgi/kestrel.pl)" -eq 1 ] || fail "the report was not sent once"

sleep 1
click_at 60 70  # the same row again: a new status test, no second report
await test "$(requests /process/explorer.exe.html)" -eq 2 || true
sleep 1
[ "$(requests /process/explorer.exe.html)" -eq 2 ] || fail "no second status test"
[ "$(requests /cgi/kestrel.pl)" -eq 1 ] || fail "the report went out twice"
import -window root "$artifacts/proclens-win32-online.png" 2>/dev/null

# Enter on the selected row does what a click does: one more status test.
xdotool key Return
await test "$(requests /process/explorer.exe.html)" -eq 3 || fail "Enter on the row asked for no page"

# F5 fills the list anew: a process started after the window opened comes in.
state_has "$(printf '^item\t[0-9]*\tping.exe\t')" && fail "ping.exe is listed before it was started"
PROCLENS_WINE_TIMEOUT=60 "$run_under_wine" "$prefix" ping.exe -n 50 127.0.0.1 >/dev/null 2>&1 &
pinger=$!
sleep 3
xdotool key F5
await state_has "$(printf '^item\t[0-9]*\tping.exe\t')" || { kill "$pinger"; fail "F5 did not bring in ping.exe"; }
kill "$pinger" 2>/dev/null
import -window root "$artifacts/proclens-win32-refreshed.png" 2>/dev/null

echo "header sort, online page, report once with its message box, Enter, F5 (Win32 under Wine)"
