#!/usr/bin/env bash
# End-to-end test of the offline information page under Xvfb: with the site
# refusing every connection, a click on a process of ours writes a page file
# into the temporary folder and the browser pane shows it with its title; a
# link of the page opens in the default browser (a stand-in that logs), not in
# the pane. A copy of that same file, opened by path with a script that counts
# the pictures, shows that every res:// picture of the page loads and that a
# menu cell under the mouse takes its hover background.
# Screenshots are kept as artifacts.
#
# usage: offline_page_e2e.sh PROCLENS ARTIFACT-DIR en|de
set -uo pipefail

proclens=$1 artifacts=$2 language=$3
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/proclens-page-e2e.XXXXXX)
pages=$work/pages
mkdir -p "$pages"
pids=()
app_pid=

cleanup() {
  for pid in $app_pid "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "${dump:-}" ] && grep -v '^item' "$dump" >&2
  [ -f "$work/app.log" ] && tail -5 "$work/app.log" >&2
  exit 1
}
. "$(dirname "$0")/e2e_lib.sh"

require_tools Xvfb xdotool import xdpyinfo python3
choose_language "$language"

start_xvfb 500
pids+=("$xvfb_pid")

# A process of ours whose name sorts before the usual names, so that it is
# among the first rows once the list is sorted by name.
child='000-offline-page'
cp "$(command -v sleep)" "$work/$child"
"$work/$child" 200 &
pids+=($!)
# A packaged program under a name that sorts next: a link to sleep, so that
# the process is named after the link and runs coreutils' own file.
packaged='001-packaged'
ln -s "$(readlink -f "$(command -v sleep)")" "$work/$packaged"
"$work/$packaged" 200 &
pids+=($!)

# The default browser: a desktop entry of ours that only logs what it is given.
mkdir -p "$work/xdg-data/applications"
cat >"$work/xdg-data/applications/proclens-test-browser.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Test browser
Exec=sh -c 'echo "\$1" >>"$work/browser.log"' browser %u
MimeType=x-scheme-handler/http;x-scheme-handler/https;
ENTRY
printf '[Default Applications]\nx-scheme-handler/http=proclens-test-browser.desktop\nx-scheme-handler/https=proclens-test-browser.desktop\n' \
  >"$work/xdg-data/applications/mimeapps.list"

dump_says() { grep -qP "$1" "$dump" 2>/dev/null; }
snapshot() { timeout 20 import -window root "$artifacts/page-$language-$1.png" && echo "artifact: $artifacts/page-$language-$1.png"; }
page_files() { find "$pages" -maxdepth 1 -name 'htm*.html' | sort; }

# A loopback port that nothing listens on refuses at once: the site is
# unreachable. (Not port 9: web views refuse its addresses outright.)
closed_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
site=http://127.0.0.1:$closed_port/
start_app() {
  dump=$work/$1.tsv
  shift
  env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=$lang_env TMPDIR="$pages" \
    XDG_DATA_HOME="$work/xdg-data" \
    PROCLENS_SITE_BASE="$site" PROCLENS_DUMP_LIST="$dump" "$@" \
    timeout 150 "$proclens" >>"$work/app.log" 2>&1 &
  app_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$app_pid" --name ProcLens | head -1)
  [ -n "$window" ] || fail "no window appeared"
  wait_for 20 dump_says '^client\t' || fail "the window wrote no list"
  sleep 1.5  # the browser pane is made after the first frame
}
stop_app() { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; app_pid=; }

# The child's row in the list's current order, counted from 0.
child_row() { awk -F'\t' -v c="$child" '$1=="item" {if ($3==c) {print n + 0; exit} n++}' "$dump"; }
click_name_header() {
  local width
  width=$(awk -F'\t' '$1=="column" && $2==0 {print $4}' "$dump")
  cp "$dump" "$work/before-header"
  timeout 10 xdotool mousemove --window "$window" $((width / 2)) 52 click 1
  wait_for 10 bash -c "! cmp -s '$dump' '$work/before-header'" || true
}

# ---- 1. A click on our process shows its offline page.
start_app click
for _ in 1 2 3; do
  row=$(child_row)
  [ -n "$row" ] && [ "$row" -lt 8 ] && break
  click_name_header
done
row=$(child_row)
[ -n "$row" ] && [ "$row" -lt 8 ] || fail "$child is not among the first rows (row ${row:-none})"
timeout 10 xdotool mousemove --window "$window" 60 $((77 + 23 * row)) click 1
wait_for 20 test -n "$(page_files)" || fail "no page file appeared in the temporary folder"
page=$(page_files | head -1)
wait_for 20 dump_says "^title\tproclens\\.example - \\Q$child\\E\$" || fail "the pane does not show the page's title"
sleep 1
snapshot click

if [ "$language" = de ]; then
  grep -qF "<h1>$child Datei&nbsp;Informationen</h1>" "$page" || fail "no German heading in $page"
  grep -qF " $child befindet sich im Ordner $work/." "$page" || fail "no German folder sentence"
  grep -qF "geh$(printf '\xc3\xb6')rt zur Software <B>unbekannt</B>" "$page" || fail "German text is not UTF-8"
else
  grep -qF "<h1>$child file&nbsp;information</h1>" "$page" || fail "no English heading in $page"
  grep -qF " $child is located in folder $work/." "$page" || fail "no English folder sentence"
fi
[ "$(tail -c 2 "$page" | od -An -tx1 | tr -d ' \n')" = 0d0a ] || fail "the page file does not end in CR LF"
grep -q 'src="http' "$page" && fail "an image still points at the site"

# The page's "Deutsch" link (top right of the pane) goes to the default
# browser and leaves the pane on the page.
timeout 10 xdotool mousemove --window "$window" 1045 319 click 1
wait_for 10 test -s "$work/browser.log" || fail "the default browser was not asked to open a link"
grep -qxF "${site}prozess/" "$work/browser.log" || fail "the browser got: $(cat "$work/browser.log")"
sleep 1
dump_says "^title\tproclens\\.example - \\Q$child\\E\$" || fail "the link replaced the page in the pane"

# The packaged program's page names its software and says that its file is
# the one the package installed.
packaged_row=$(awk -F'\t' -v c="$packaged" '$1=="item" {if ($3==c) {print n + 0; exit} n++}' "$dump")
[ -n "$packaged_row" ] && [ "$packaged_row" -lt 8 ] || fail "$packaged is not among the first rows"
before=$(page_files)
timeout 10 xdotool mousemove --window "$window" 60 $((77 + 23 * packaged_row)) click 1
wait_for 20 bash -c "[ \"\$(find '$pages' -maxdepth 1 -name 'htm*.html' | sort)\" != '$before' ]" ||
  fail "no page for $packaged"
packaged_page=$(comm -13 <(echo "$before") <(page_files) | head -1)
if [ "$language" = de ]; then
  software="geh$(printf '\xc3\xb6')rt zur Software <B>coreutils</B>"
  installed="Diese Datei ist die, die das Paket coreutils installiert hat."
else
  software="belongs to the software <B>coreutils</B>"
  installed="This file is the one that package coreutils installed."
fi
grep -qF "$software" "$packaged_page" || fail "the page of $packaged does not name coreutils"
grep -qF "$installed" "$packaged_page" || fail "the page of $packaged does not say its file is coreutils' own"
# The page is about the file the process runs, which is named sleep.
wait_for 20 dump_says "^title\tproclens\\.example - sleep\$" || fail "the pane does not show $packaged's page"
snapshot packaged

stop_app

# ---- 2. Every picture of that page loads from the program's resources.
checked=$work/checked.html
cat >"$work/count.js" <<'SCRIPT'
<script>
window.addEventListener("load", function () {
  var addresses = [];
  for (var i = 0; i < document.images.length; i++) addresses.push(document.images[i].src);
  var cells = document.querySelectorAll("[background]");
  for (var j = 0; j < cells.length; j++) addresses.push(cells[j].getAttribute("background"));
  // The menu's hover background, as the style sheet names it.
  var rules = document.styleSheets[0].cssRules;
  for (var k = 0; k < rules.length; k++) {
    var hover = /url\("?(res:[^")]+)/.exec(rules[k].style ? rules[k].style.backgroundImage : "");
    if (hover) addresses.push(hover[1]);
  }
  var loaded = 0, broken = 0;
  function done() {
    if (loaded + broken === addresses.length)
      document.title = "pictures=" + addresses.length + " loaded=" + loaded + " broken=" + broken;
  }
  // Under the mouse a menu cell shows the hover background from the style sheet.
  var menu = document.querySelectorAll(".menu td");
  for (var m = 0; m < menu.length; m++) {
    menu[m].addEventListener("mouseover", function (event) {
      var cell = event.currentTarget;
      setTimeout(function () { document.title = "hover=" + getComputedStyle(cell).backgroundImage; }, 50);
    });
  }
  addresses.forEach(function (address) {
    var picture = new Image();
    picture.onload = function () { loaded++; done(); };
    picture.onerror = function () { broken++; done(); };
    picture.src = address;
  });
});
</script>
SCRIPT
python3 - "$page" "$work/count.js" "$checked" <<'INSERT'
import sys
page = open(sys.argv[1], 'rb').read()
script = open(sys.argv[2], 'rb').read()
open(sys.argv[3], 'wb').write(page.replace(b'</body>', script + b'</body>'))
INSERT
start_app pictures PROCLENS_NAVIGATE="$checked"
# Six pictures, five tiled backgrounds and the menu's hover background.
wait_for 30 dump_says '^title\tpictures=' || fail "the copied page did not report its pictures"
dump_says '^title\tpictures=12 loaded=12 broken=0$' ||
  fail "pictures: $(awk -F'\t' '$1=="title" {print $2}' "$dump")"
snapshot pictures
# The mouse goes down the pane's left side until it passes over the menu.
for y in $(seq 250 10 690); do
  timeout 10 xdotool mousemove --window "$window" 60 "$y"
  sleep 0.2
  dump_says "^title\thover=" && break
done
wait_for 5 dump_says '^title\thover=' || fail "no menu cell reported the mouse over it"
dump_says '^title\thover=url\("res:///.*/JPG/BGmenutop"\)$' ||
  fail "hover: $(awk -F'\t' '$1=="title" {print $2}' "$dump")"
snapshot hover

stop_app
echo "PASS: offline page ($language)"
