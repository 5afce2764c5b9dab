#!/usr/bin/env bash
# End-to-end test of a click on a process, the header sort and the context
# menu, under Xvfb, against the local test site and a fake file manager on a
# private session bus. Child processes with names that sort first ("!0clk-a-...")
# give the rows a known place once the names are sorted ascending. The window
# is read through AT-SPI on that bus (atspi_probe.py): its rows, its status
# bar, the page in its browser pane and the message box, whose text (a line
# far longer than the screen is wide) must fit the screen whole.
#
# Also measures how long the offline page takes after a click when the site
# refuses the connection and when it never answers; the figures are printed as
# "figure:" lines.
#
# usage: click_e2e.sh PROCLENS PROCLENS-CLI FAKE-FILE-MANAGER ARTIFACT-DIR
set -uo pipefail

proclens=$1 cli=$2 fake_file_manager=$3 artifacts=$4
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/proclens-click.XXXXXX)
pids=()
app_pid=

fail() { echo "FAIL: $*" >&2; probe document >&2; probe status >&2; exit 1; }
. "$(dirname "$0")/e2e_lib.sh"
trap stop_all EXIT
now_ns() { date +%s%N; }
ms_between() { echo $((($2 - $1) / 1000000)); }

require_tools Xvfb xdotool dbus-daemon python3 import

# The display, the session bus and the fake file manager.
start_desktop 300
"$fake_file_manager" "$work/file-manager.log" >"$work/file-manager.out" 2>&1 &
file_manager_pid=$!
pids+=($file_manager_pid)
wait_for 10 grep -q ready "$work/file-manager.out" || fail "the fake file manager did not start"

# The test site knows one of the children; its report reply carries a message.
start_test_site --reply-file "$work/reply" --pages '!0clk-a-online'
# The reply's message: a line, then one unbroken line of 1,200 characters.
long_line=$(head -c 900 /dev/zero | tr '\0' x)$(seq -s '' 100 199 | head -c 300)
printf '\247Hello from the test site\n%s' "$long_line" >"$work/reply"

# The default browser, and the folder's default application for when the file
# manager cannot be asked: scripts that note the addresses they are given in
# $work/NAME.log.
mkdir -p "$work/xdg-data/applications" "$work/xdg-config"
echo '[Default Applications]' >"$work/xdg-config/mimeapps.list"
for handler in fake-browser:x-scheme-handler/http folder-opener:inode/directory; do
  name=${handler%%:*}
  printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$work/$name.log" >"$work/$name"
  chmod +x "$work/$name"
  printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s %%u\nMimeType=%s;\n' "$name" "$work/$name" \
    "${handler#*:}" >"$work/xdg-data/applications/proclens-$name.desktop"
  printf '%s=proclens-%s.desktop\n' "${handler#*:}" "$name" >>"$work/xdg-config/mimeapps.list"
done

start_children '!0clk-a-online' '!0clk-b-offline' '!0clk-c-page404'

status_is() { [ "$(probe status)" = "$1" ]; }
title_has() { probe document | cut -f1 | grep -qF -- "$1"; }
title_is() { [ "$(probe document | cut -f1)" = "$1" ]; }
snapshot() { timeout 20 import -window root "$artifacts/click-$1.png" && echo "artifact: $artifacts/click-$1.png"; }
# The display is ours: every window on it is the program's.
windows_at_least() { [ "$(xdotool search --onlyvisible --name . 2>/dev/null | wc -l)" -ge "$1" ]; }
windows_at_most() { [ "$(xdotool search --onlyvisible --name . 2>/dev/null | wc -l)" -le "$1" ]; }

# Starts the window on a site base with its own page folder; the pane's
# loads and titles are noted in $events from then on.
start_app() {
  local label=$1 base=$2 language=${3:-C.UTF-8}
  pages=$work/pages-$label events=$work/events-$label
  mkdir -p "$pages"
  env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG="$language" TMPDIR="$pages" PROCLENS_SITE_BASE="$base" \
    XDG_DATA_HOME="$work/xdg-data" XDG_CONFIG_HOME="$work/xdg-config" XDG_DATA_DIRS=/usr/share \
    timeout 200 "$proclens" >"$work/$label.log" 2>&1 &
  app_pid=$!
  await_window "$label"
  sleep 1.5  # the browser pane is created after the first frame
  # Not through probe(): $! must be the recorder itself, for stop_app to end it.
  /usr/bin/python3 "$e2e_dir/atspi_probe.py" events "$events" &
  events_pid=$!
  pids+=("$events_pid")
  wait_for 10 test -e "$events" || fail "the pane's events are not followed ($label)"
}
stop_app() {
  kill "$app_pid" "$events_pid" 2>/dev/null
  wait "$app_pid" "$events_pid" 2>/dev/null
  app_pid= events_pid=
}

sorted() {
  probe rows >"$work/rows"
  python3 "$here/sort_order_check.py" "$work/rows" "$1" "$2" || fail "not sorted by column $1 $2"
}
row_y() { echo $((77 + 23 * $1)); }
click_row() { timeout 10 xdotool mousemove --window "$window" 60 "$(row_y "$1")" click 1; }
first_items() { probe rows | head -3 | cut -f1 | paste -sd,; }
ours_first() { [ "$(first_items)" = '!0clk-a-online,!0clk-b-offline,!0clk-c-page404' ]; }
names_first() { sort_names_until ours_first || fail "the test's processes are not first: $(first_items)"; }
click_button() {
  local left top width
  read -r left top width < <(probe buttons | awk -F'\t' -v n="$1" '$1 == n { print $2, $3, $4 }')
  timeout 10 xdotool mousemove --window "$window" $((left + width / 2)) $((top + 13)) click 1
}
view_is() { [ "$(probe view)" = "$1" ]; }
first_line_unquoted() {
  python3 -c 'import sys, urllib.parse; print(urllib.parse.unquote(open(sys.argv[1]).readline().rstrip("\n")))' "$1"
}
# Requests of the program itself (not of the browser pane) whose path starts so.
site_requests() { grep -c "^$1[^	]*	proclens/1 (" "$work/site.log" 2>/dev/null; }

# ---- 1. Header clicks sort the list; switching view styles keeps the order.
start_app main "$site"
notice=$(probe status)
snapshot start
click_column_header 1; sorted 1 desc
click_column_header 1; sorted 1 asc
click_column_header 0; sorted 0 desc
probe rows >"$work/items-sorted"
for view in "Large icons:large" "Small icons:small" "Details:report"; do
  click_button "${view%%:*}"
  wait_for 10 view_is "${view#*:}" || fail "no ${view#*:} view"
  sleep 0.3
  snapshot "sorted-${view#*:}"
done
probe rows | cmp -s - "$work/items-sorted" || fail "switching views changed the order"
click_column_header 0; sorted 0 asc
names_first
snapshot sorted-by-name

# ---- 2. An unknown process: the offline page, the status bar keeps its text.
click_row 1
wait_for 10 more_pages_than 0 || fail "no offline page for !0clk-b-offline"
wait_for 10 title_has '!0clk-b-offline' || fail "the offline page's title did not come"
status_is "$notice" || fail "the status bar changed on an offline click"
[ "$(site_requests '/cgi/kestrel.pl')" -eq 0 ] || fail "an offline click sent the report"
sleep 0.5
snapshot offline

# ---- 3. A known process: its online page, the address, the report and its message.
click_row 0
address="${site}process/!0clk-a-online.html"
wait_for 10 windows_at_least 2 ||
  fail "no message box for the marked reply"
sleep 0.5
snapshot message-box
# The box fits the screen, and its text is there whole and can be selected.
dialog_selectable() { probe dialog >"$work/dialog" && [ "$(head -1 "$work/dialog" | cut -f2)" = selectable ]; }
wait_for 10 dialog_selectable || [ -s "$work/dialog" ] || fail "the message box is not on the accessibility bus"
IFS=$'\t' read -r box selectable _ < <(head -1 "$work/dialog")
read -r box_x _ box_width _ <<<"$box"
screen_width=$(xdpyinfo | awk '/dimensions:/ { split($2, size, "x"); print size[1] }')
[ "$box_x" -ge 0 ] && [ $((box_x + box_width)) -le "$screen_width" ] ||
  fail "the message box spans $box_x+$box_width on a screen $screen_width wide"
[ "$(cut -f3- "$work/dialog")" = "$(printf 'Hello from the test site\n%s' "$long_line")" ] ||
  fail "the message box shows: $(cut -f3- "$work/dialog" | head -c 300)"
[ "$selectable" = selectable ] || fail "the message box's text cannot be selected"
timeout 10 xdotool key Return
wait_for 10 windows_at_most 1 ||
  fail "the message box did not close"
wait_for 10 status_is "$address" || fail "the status bar does not show $address"
wait_for 10 title_is '!0clk-a-online' || fail "the online page's title did not come"
[ "$(site_requests '/cgi/kestrel.pl')" -eq 1 ] || fail "the report was not sent once"
grep -qP "^/cgi/kestrel.pl\?$("$cli" id)\tproclens/1 \(Linux " "$work/site.log" ||
  fail "the report does not carry the identifier $("$cli" id) and the agent"
sleep 0.5
snapshot online

click_row 0  # the same item again: a new status test, no second report
status_tests_are() { [ "$(site_requests '/process/!0clk-a-online.html')" -eq "$1" ]; }
wait_for 10 status_tests_are 2 || fail "no second status test"
sleep 1
[ "$(site_requests '/cgi/kestrel.pl')" -eq 1 ] || fail "the report went out twice"

# ---- 4. The context menu asks the file manager to show the file.
timeout 10 xdotool mousemove --window "$window" 60 "$(row_y 0)" click 3
sleep 0.5
snapshot context-menu
timeout 10 xdotool key Down Return
wait_for 10 test -s "$work/file-manager.log" || fail "the file manager was not asked"
shown=$(first_line_unquoted "$work/file-manager.log")
[ "$shown" = "ShowItems	file://$work/!0clk-a-online" ] || fail "the file manager was asked: $shown"

# ---- 5. The logo opens the site base in the default browser.
timeout 10 xdotool mousemove --window "$window" 23 23 click 1
wait_for 10 test -s "$work/fake-browser.log" || fail "the logo did not open the default browser"
[ "$(cat "$work/fake-browser.log")" = "$site" ] || fail "the browser was given $(cat "$work/fake-browser.log")"
stop_app

# ---- 6. A site page whose title shows a failure: the offline page replaces it.
mkdir -p "$work/static/process"
printf '<html><head><title>Error 404 - no such page</title></head><body>gone</body></html>' \
  >"$work/static/process/!0clk-c-page404.html"
python3 -m http.server --bind 127.0.0.1 --directory "$work/static" 0 >"$work/static.log" 2>&1 &
pids+=($!)
wait_for 10 grep -qoP 'port \d+' "$work/static.log" || fail "the static site did not start"
static="http://127.0.0.1:$(grep -oP 'port \K\d+' "$work/static.log" | head -1)/"
start_app page404 "$static"
names_first
# An offline page first, so the pane holds a titled page when the failing one
# loads: its title must still be the first the hook sees.
click_row 1
wait_for 10 more_pages_than 0 || fail "no offline page before the failing one"
wait_for 10 title_has '!0clk-b-offline' || fail "the first offline page's title did not come"
click_row 2
wait_for 10 status_is "${static}process/!0clk-c-page404.html" || fail "the failing page was not navigated to"
wait_for 10 more_pages_than 1 || fail "the failed title did not bring the offline page"
wait_for 10 title_has 'proclens.example - !0clk-c-page404' || fail "the offline page's title did not come"
sleep 0.5
snapshot page404-replaced
stop_app

# ---- 7. German: the "prozess/" pages. Without the file manager on the bus,
# the context menu opens the file's folder with its default application.
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  kill "$file_manager_pid"
  start_app german "$site" de_DE.UTF-8
  names_first
  click_row 0
  wait_for 10 windows_at_least 2 || fail "no message box in the German run"
  timeout 10 xdotool key Return
  wait_for 10 status_is "${site}prozess/!0clk-a-online.html" || fail "no German page address"
  timeout 10 xdotool mousemove --window "$window" 60 "$(row_y 0)" click 3
  sleep 0.5
  timeout 10 xdotool key Down Return
  wait_for 15 test -s "$work/folder-opener.log" || fail "the folder was not opened"
  opened=$(first_line_unquoted "$work/folder-opener.log")
  case $opened in
    "file://$work"|"file://$work/"|"$work"|"$work/") ;;
    *) fail "the folder opened was $opened" ;;
  esac
  snapshot german
  stop_app
else
  echo "no de_DE.UTF-8 locale: the German run is left out"
fi

# ---- 8. Responsiveness: the offline page after a click on an unreachable site.
# Port 1 on the loopback refuses at once; a listener that never accepts lets
# the connection in and never answers.
# The pointer is on the row first; the click alone then lies between t0
# (before xdotool starts) and t1 (after it has returned). Times are counted
# from t0, so they are upper bounds. The page file's modification time says
# when the program wrote it; the pane's title is timed when AT-SPI reports
# the page that bears it loaded.
mtime_ns() { stat -c %.9Y "$1" | tr -d .; }
# When the pane's page titled after process $name was reported loaded, of the
# events after the first $seen.
title_time() { tail -n +$((seen + 1)) "$events" | grep -F -- "- $name	" | head -1 | cut -f1; }
title_came() { [ -n "$(title_time)" ]; }
measure() {
  local label=$1 base=$2 tries=$3 i before t0 t1 file_ms title_ms name seen
  start_app "$label" "$base"
  names_first
  for ((i = 0; i < tries; i++)); do
    before=$(page_count)
    seen=$(wc -l <"$events")
    # Rows 1 and 2 in turn, so that every page brings a new title.
    name=$(probe rows | sed -n "$((2 + i % 2))p" | cut -f1)
    timeout 10 xdotool mousemove --window "$window" 60 "$(row_y $((1 + i % 2)))"
    sleep 0.2
    t0=$(now_ns)
    timeout 10 xdotool click 1
    t1=$(now_ns)
    wait_for 30 more_pages_than "$before" || fail "no offline page ($label)"
    file_ms=$(ms_between "$t0" "$(mtime_ns "$pages/$(ls -t "$pages" | head -1)")")
    wait_for 30 title_came || fail "no title ($label)"
    title_ms=$(ms_between "$t0" "$(title_time)")
    echo "figure: $label click $((i + 1)): page file written after $file_ms ms, its title reported after $title_ms ms (xdotool took $(ms_between "$t0" "$t1") ms)"
    echo "$file_ms $title_ms" >>"$work/$label.figures"
  done
  stop_app
}
measure refused "http://127.0.0.1:1/" 6
# The page's title is reported once the page is loaded. How soon is a figure
# for the reader (the goal is 100 ms; a fresh window's first page also waits
# for the web engine's first document); what must hold on any machine is that
# a refused connection is never waited on: the connection's time-out alone is
# 3 s.
worst=$(awk '{print $2}' "$work/refused.figures" | sort -n | tail -1)
echo "figure: refused, slowest of the clicks: $worst ms (goal 100 ms)"
[ "$worst" -lt 1000 ] || fail "the offline page took $worst ms with the connection refused"

python3 -c 'import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(8)
open("'"$work"'/silent-port", "w").write(str(s.getsockname()[1]))
time.sleep(600)' &
pids+=($!)
wait_for 10 test -s "$work/silent-port" || fail "no silent listener"
measure silent "http://127.0.0.1:$(cat "$work/silent-port")/" 1
# The exchange's time-out (8 s) decides, and the page follows at once.
read -r silent_file_ms silent_title_ms <"$work/silent.figures"
[ "$silent_file_ms" -ge 7900 ] && [ "$silent_title_ms" -lt 8500 ] ||
  fail "with a silent site the offline page came after $silent_file_ms / $silent_title_ms ms"

echo "PASS: sort, offline and online clicks, report once with its message, failed title, context menu and its folder fallback, logo, German pages"
