#!/usr/bin/env bash
# End-to-end test of the proclens window under Xvfb: start it, find a child
# process of ours in its list, switch the three view styles with the mouse,
# resize the window, close it like a window manager would and check the exit
# code. The window reports its state through PROCLENS_DUMP_LIST; screenshots of
# each state are kept as artifacts.
#
# usage: window_e2e.sh PROCLENS CLOSE-HELPER ARTIFACT-DIR en|de
set -uo pipefail

proclens=$1 close_window=$2 artifacts=$3 language=$4
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/proclens-e2e.XXXXXX)
dump=$work/list.tsv
xvfb_pid= child_pid= app_pid=

cleanup() {
  for pid in $app_pid $child_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$dump" ] && sed -n '1,14p' "$dump" >&2
  [ -f "$work/proclens.log" ] && tail -n 20 "$work/proclens.log" >&2
  exit 1
}
. "$(dirname "$0")/e2e_lib.sh"


choose_language "$language"

start_xvfb 90

# The child: a copy of sleep under a name of its own, with a bounded life.
cp "$(command -v sleep)" "$work/pl-e2e-child"
"$work/pl-e2e-child" 120 &
child_pid=$!

snapshot() {
  local file="$artifacts/window-$language-$1.png"
  timeout 20 import -window root "$file" && echo "artifact: $file"
}
dump_says() { grep -qP "$1" "$dump" 2>/dev/null; }
view_is() { dump_says "^view\t$1\$"; }
app_alive() { kill -0 "$app_pid" 2>/dev/null || fail "proclens ended early"; }

# A local page, opened by its plain path, that shows one of the program's own
# resources through res:// and asks for one that does not exist; its title
# says how both went.
cat >"$work/page.html" <<PAGE
<html><head><title>loading</title><script>
var seen = {};
function done(key, value) {
  seen[key] = value;
  if (seen.icon && seen.missing) document.title = 'icon=' + seen.icon + ' missing=' + seen.missing;
}
</script></head><body>
<img src="res://$proclens/png/ProcLens" onload="done('icon', this.naturalWidth)" onerror="done('icon', 'error')">
<img src="res://$proclens/GIF/NO_SUCH_NAME" onload="done('missing', 'loaded')" onerror="done('missing', 'error')">
</body></html>
PAGE

env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=$lang_env PROCLENS_DUMP_LIST="$dump" \
  PROCLENS_NAVIGATE="$work/page.html" timeout 120 "$proclens" >"$work/proclens.log" 2>&1 &
app_pid=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name ProcLens | head -1)
[ -n "$window" ] || fail "no window named ProcLens appeared"
wait_for 20 dump_says '^client\t' || fail "the window wrote no list"
sleep 1
snapshot start

# Our child is listed with its name and its full path.
dump_says "^item\t$child_pid\tpl-e2e-child\t$work/pl-e2e-child\$" ||
  fail "child $child_pid is not in the list"
item_count=$(grep -c '^item' "$dump")
[ "$item_count" -ge 2 ] || fail "only $item_count items"
grep '^item' "$dump" >"$work/items-before"

if [ "$language" = de ]; then
  dump_says '^top_label\tWas läuft auf ihrem Rechner\?.*\\rFinden sie es heraus' || fail "German headline"
  dump_says '^column\t0\tAktive Prozesse\t' || fail "German column 0"
  dump_says '^column\t1\tDatei\t' || fail "German column 1"
  dump_says '^column\t2\tDateigröße\t' || fail "German column 2"
else
  dump_says '^top_label\tWhat is running on your computer\?.*\\rCheck it out' || fail "English headline"
  dump_says '^column\t0\tRunning process\t' || fail "English column 0"
  dump_says '^column\t2\tFile size\t' || fail "English column 2"
fi
dump_says '^view\treport$' || fail "the list does not start in report view"
wait_for 30 dump_says '^title\ticon=32 missing=error$' || fail "the page did not show the res:// image"
snapshot page
dump_says '^button\treport\t\d+\t7\t\d+\tdown$' || fail "the report button is not down at start"

# Clicks the middle of a view-style button where the window says it stands.
click_button() {
  local name=$1 left top width
  read -r left top width < <(awk -F'\t' -v n="$name" '$1=="button" && $2==n {print $3, $4, $5}' "$dump")
  [ -n "$left" ] || fail "no position for the $name button"
  timeout 10 xdotool mousemove --window "$window" $((left + width / 2)) $((top + 13)) click 1
}

# The context menu opens on a right click on an item in every view.
right_click_first_item() {
  local x=$1 y=$2
  timeout 10 xdotool mousemove --window "$window" "$x" "$y" click 3
  wait_for 10 dump_says '^menu\t.*\topen$' || fail "no context menu in the $(awk -F'\t' '$1=="view" {print $2}' "$dump") view"
  snapshot "menu-$(awk -F'\t' '$1=="view" {print $2}' "$dump")"
  timeout 10 xdotool key Escape
  wait_for 10 dump_says '^menu\t.*\tclosed$' || fail "the context menu did not close"
}
right_click_first_item 60 70

for view in large small report; do
  click_button "$view"
  wait_for 10 view_is "$view" || fail "the list did not switch to $view"
  dump_says "^button\t$view\t.*\tdown\$" || fail "the $view button is not down"
  app_alive
  [ "$view" = report ] || right_click_first_item 40 60
  sleep 0.5
  snapshot "$view"
done
grep '^item' "$dump" | cmp -s - "$work/items-before" || fail "switching views changed the items or their order"

# A smaller window: column 1 takes the change, the buttons follow the right edge.
timeout 10 xdotool windowsize "$window" 900 650
wait_for 10 dump_says '^client\t900\t' || fail "the window did not take the new size"
app_alive
read -r report_left report_width < <(awk -F'\t' '$1=="button" && $2=="report" {print $3, $5}' "$dump")
[ "$report_left" -eq $((900 - report_width - 10)) ] || fail "report button at $report_left after the resize"
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
