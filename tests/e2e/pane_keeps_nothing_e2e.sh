#!/usr/bin/env bash
# The browser pane is a viewer that keeps nothing, under Xvfb against the local
# test site, in a fresh home folder (its own downloads folder, data, cache and
# configuration):
#   - an online page sent as an attachment is refused (the offline page comes),
#     and one whose frame is an attachment and whose script clicks a download
#     link saves nothing either;
#   - a value that an online page keeps in its local storage is gone in the next run;
#   - the two runs leave nothing new under the home folder.
# The window is driven as its users drive it: rows found through AT-SPI
# (atspi_probe.py) and clicked with xdotool; the site's log tells what the pane asked for.
#
# usage: pane_keeps_nothing_e2e.sh PROCLENS CLOSE-WINDOW
set -uo pipefail

proclens=$1 close_window=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/proclens-pane.XXXXXX)
home=$work/home pages=$work/pages
pids=()
app_pid=

. "$here/e2e_lib.sh"
trap stop_all EXIT

require_tools Xvfb xdotool xdpyinfo dbus-daemon

start_desktop 800

# Requests of the browser pane (not of the program's own status test) for PATH.
pane_asked() { awk -F'\t' -v p="$1" '$1 == p && $2 !~ /^proclens/' "$work/site.log" 2>/dev/null | grep -q .; }
seen_reports() { grep -o '^/seen/[a-z]*' "$work/site.log" 2>/dev/null | paste -sd,; }
seen_once() { [ -n "$(seen_reports)" ]; }
seen_twice() { [[ $(seen_reports) == *,* ]]; }
home_listing() { (cd "$home" && find . | LC_ALL=C sort); }
home_unchanged() {
  home_listing | diff "$work/home-before" - >"$work/home-diff" ||
    fail "$1 left this under the home folder: $(grep '^>' "$work/home-diff" | tr '\n' ' ')"
}

# Children with names that sort first, each with an online page of its kind.
attachment='!0pane-attachment' frame='!0pane-frame' storage='!0pane-storage'
start_children "$attachment" "$frame" "$storage"
start_test_site --page-kind "$attachment:attachment,$frame:attachment-frame,$storage:storage"

# A session's own runtime folder, where sockets and flags belong.
mkdir -p "$home/.config" "$home/Downloads" "$pages" "$work/runtime"
chmod 700 "$work/runtime"
printf 'XDG_DOWNLOAD_DIR="$HOME/Downloads"\n' >"$home/.config/user-dirs.dirs"
home_listing >"$work/home-before"

start_app() {
  env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=C.UTF-8 HOME="$home" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_CONFIG_HOME="$home/.config" XDG_STATE_HOME="$home/.local/state" \
    XDG_RUNTIME_DIR="$work/runtime" \
    TMPDIR="$pages" PROCLENS_SITE_BASE="$site" timeout 200 "$proclens" >"$work/app.log" 2>&1 &
  app_pid=$!
  await_window
  wait_for 30 probe row "$storage" >/dev/null || fail "the test's rows are not listed"
  sleep 1.5  # the browser pane is made after the first frame
  # Sorted by name, the test's rows come first.
  sort_names_until rows_in_view || fail "the test's rows do not come into view"
}
rows_in_view() { probe row-box "$attachment" >/dev/null && probe row-box "$storage" >/dev/null; }
app_gone() { ! kill -0 "$app_pid" 2>/dev/null; }
# Closed as a window manager closes it, so that whatever the pane would keep is written.
stop_app() {
  timeout 10 "$close_window" "$window" || fail "could not send the close request"
  wait_for 20 app_gone || fail "proclens did not end after the close request"
  wait "$app_pid"
  app_pid=
}
click_row() {
  local x y w h
  read -r x y w h < <(probe row-box "$1") || fail "the row $1 is not in view"
  timeout 10 xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}

# ---- 1. Downloads are refused; the page that is all download gives way to the offline page.
start_app
click_row "$attachment"
wait_for 15 pane_asked "/process/$attachment.html" || fail "the pane did not ask for the attachment page"
wait_for 15 more_pages_than 0
offline_came=$?
click_row "$frame"
wait_for 15 pane_asked "/attachment/$frame-frame.html" || fail "the pane did not load the page's frame"
wait_for 15 pane_asked "/clicked" || fail "the page's script did not click the download link"
sleep 2  # a download of a few bytes from the loopback would have landed by now
home_unchanged "an attachment"
[ "$offline_came" -eq 0 ] || fail "the refused attachment page brought no offline page"

# ---- 2. Local storage lasts one run.
click_row "$storage"
wait_for 15 seen_once || fail "the storage page did not run"
sleep 1  # time for the store to reach a disk, had it one
stop_app
home_unchanged "the first run"

start_app
click_row "$storage"
wait_for 15 seen_twice || fail "the storage page did not run again"
stop_app
[ "$(seen_reports)" = "/seen/none,/seen/none" ] ||
  fail "the page's stored value outlived the run: $(seen_reports)"
home_unchanged "the second run"

echo "PASS: no download saved, local storage gone with the run, nothing left under the home folder"
