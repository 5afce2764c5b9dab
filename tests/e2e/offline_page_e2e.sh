#!/usr/bin/env bash
# End-to-end test of the offline information page under Xvfb: with the site
# refusing every connection, a click on a process of ours writes a page file
# into the temporary folder and the browser pane shows it with its title; a
# link of the page opens in the default browser (a stand-in that logs), not in
# the pane. The program runs from a folder whose name holds '#', '?' and '%',
# and every picture of the page, read off the screen, is there, the menu
# cell under the mouse with its hover background. The window is read through
# AT-SPI on a private bus (atspi_probe.py). Screenshots are kept as artifacts.
#
# usage: offline_page_e2e.sh PROCLENS ARTIFACT-DIR en|de
set -uo pipefail

proclens=$1 artifacts=$2 language=$3
here=$(cd "$(dirname "$0")" && pwd)
resources=$(cd "$here/../../resources/res" && pwd)
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/proclens-page-e2e.XXXXXX)
pages=$work/pages
mkdir -p "$pages"
pids=()
app_pid=

fail() {
  echo "FAIL: $*" >&2
  probe document >&2
  [ -f "$work/app.log" ] && tail -5 "$work/app.log" >&2
  exit 1
}
. "$here/e2e_lib.sh"
trap stop_all EXIT

require_tools Xvfb xdotool import xdpyinfo python3 dbus-daemon
choose_language "$language"

start_desktop 500

# The program in a folder whose name an address cannot hold as it stands.
odd_folder="$work/c#/100%/why?"
mkdir -p "$odd_folder"
cp "$proclens" "$odd_folder/proclens"

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

title_is() { [ "$(probe document | cut -f1)" = "$1" ]; }
snapshot() { timeout 20 import -window root "$artifacts/page-$language-$1.png" && echo "artifact: $artifacts/page-$language-$1.png"; }
page_files() { find "$pages" -maxdepth 1 -name 'htm*.html' | sort; }

# A loopback port that nothing listens on refuses at once: the site is
# unreachable. (Not port 9: web views refuse its addresses outright.)
closed_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
site=http://127.0.0.1:$closed_port/
start_app() {
  env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=$lang_env TMPDIR="$pages" \
    XDG_DATA_HOME="$work/xdg-data" PROCLENS_SITE_BASE="$site" \
    timeout 150 "$odd_folder/proclens" >>"$work/app.log" 2>&1 &
  app_pid=$!
  window=$(find_window --pid "$app_pid" --name ProcLens)
  [ -n "$window" ] || fail "no window appeared"
  wait_for 30 probe row "$child" >/dev/null || fail "the list is not on the accessibility bus"
  sleep 1.5  # the browser pane is made after the first frame
}
stop_app() { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; app_pid=; }

# A row's place in the list's current order, counted from 0.
row_of() { probe rows | awk -F'\t' -v c="$1" '$1 == c { print NR - 1; exit }'; }
# Both of our processes are clicked by their place on the screen, so both
# must be among the rows shown, wherever the other processes put them.
shown_row() { local row; row=$(row_of "$1"); [ -n "$row" ] && [ "$row" -lt 8 ]; }
both_shown() { shown_row "$child" && shown_row "$packaged"; }

# ---- 1. A click on our process shows its offline page.
start_app
sort_names_until both_shown ||
  fail "$child and $packaged are not among the first rows (rows $(row_of "$child"), $(row_of "$packaged"))"
row=$(row_of "$child")
timeout 10 xdotool mousemove --window "$window" 60 $((77 + 23 * row)) click 1
has_page() { [ -n "$(page_files)" ]; }
wait_for 20 has_page || fail "no page file appeared in the temporary folder"
page=$(page_files | head -1)
wait_for 20 title_is "proclens.example - $child" || fail "the pane does not show the page's title"
sleep 1
snapshot click

if [ "$language" = de ]; then
  grep -qF "<h1>$child Datei&nbsp;Informationen</h1>" "$page" || fail "no German heading in $page"
  grep -qF " $child befindet sich im Ordner $work/." "$page" || fail "no German folder sentence"
  # Nothing installed the copied program: the page says so, in UTF-8.
  grep -qF "Kein Paketsystem hat das Programm des Prozesses <B>$child</B> installiert" "$page" ||
    fail "no German sentence that nothing installed the program"
  grep -qF "geh$(printf '\xc3\xb6')rt oder wer es gemacht hat." "$page" || fail "German text is not UTF-8"
else
  grep -qF "<h1>$child file&nbsp;information</h1>" "$page" || fail "no English heading in $page"
  grep -qF " $child is located in folder $work/." "$page" || fail "no English folder sentence"
  grep -qF "No package system installed the program of the process <B>$child</B>" "$page" ||
    fail "no English sentence that nothing installed the program"
fi
[ "$(tail -c 2 "$page" | od -An -tx1 | tr -d ' \n')" = 0d0a ] || fail "the page file does not end in CR LF"
grep -q 'src="http' "$page" && fail "an image still points at the site"
# Every address of the page names the program in its odd folder, read as a browser reads it.
python3 "$here/../tools/page_addresses_check.py" "$page" "$odd_folder/proclens" >"$work/addresses" 2>&1 ||
  fail "the page's addresses: $(grep FAULT "$work/addresses" | tr '\n' ' ')"

# The page's "Deutsch" link (top right of the pane) goes to the default
# browser and leaves the pane on the page.
timeout 10 xdotool mousemove --window "$window" 1045 319 click 1
wait_for 10 test -s "$work/browser.log" || fail "the default browser was not asked to open a link"
grep -qxF "${site}prozess/" "$work/browser.log" || fail "the browser got: $(cat "$work/browser.log")"
sleep 1
title_is "proclens.example - $child" || fail "the link replaced the page in the pane"

# The packaged program's page names its software and says that its file is
# the one the package installed.
packaged_row=$(row_of "$packaged")
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
wait_for 20 title_is "proclens.example - sleep" || fail "the pane does not show $packaged's page"
snapshot packaged

# ---- 2. Every picture of that page is there, read off the screen where
# AT-SPI places the page's parts, from a program whose folder holds '#',
# '?' and '%' (page_pictures.py says which pictures it finds, and how).
/usr/bin/python3 "$here/page_pictures.py" "$resources" >"$work/pictures" 2>&1 ||
  fail "pictures: $(tr '\n' ' ' <"$work/pictures")"
snapshot pictures

stop_app
echo "PASS: offline page ($language)"
