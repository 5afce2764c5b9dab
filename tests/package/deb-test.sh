#!/bin/sh
# The Debian package as a user gets it: its control fields, Debian's own
# checkers (lintian, desktop-file-validate, appstreamcli, man), and its
# programs run from a root it was extracted into (dpkg-deb -x): proclens-cli
# and its bash completion, and the window under Xvfb.
#   deb-test.sh DEB VERSION CLOSE_WINDOW
# Exits 77 (skipped) when the package has not been built
# (cmake --build --preset linux --target package).
set -u
deb=$1 version=$2 close_window=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$deb" ] || { echo "SKIP: no $deb; build it with --target package" >&2; exit 77; }

work=$(mktemp -d /tmp/proclens-deb.XXXXXX)
xvfb_pid= window_pid=
cleanup() {
  [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
root=$work/root

# ---- control fields
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Version)" = "$version" ] || fail "version $(field Version), not $version"
[ "$(field Section)" = utils ] || fail "section $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
# shlibdeps found the toolkit; the browser library, opened at run time, is named too.
field Depends | grep -q 'libgtk-3-0 (>=' || fail "Depends lacks the libraries: $(field Depends)"
for opened in libwebkit2gtk-4.1-0 libcurl4 libssl3; do
  field Depends | grep -q "$opened" || fail "Depends lacks $opened, which the programs open themselves: $(field Depends)"
done
# librpm only adds what RPM installed: recommended, not required.
for recommended in librpm9 libyaml-0-2; do
  field Recommends | grep -q "$recommended" || fail "$recommended is not recommended: $(field Recommends)"
done
field Depends | grep -q librpm && fail "librpm is required, not recommended"
[ "$(field Description | wc -l)" -ge 3 ] || fail "no long description"

# ---- the files, and what Debian's checkers say of them
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
share=$root/usr/share
for file in usr/bin/proclens usr/bin/proclens-cli usr/share/applications/proclens.desktop \
  usr/share/man/man1/proclens.1.gz usr/share/man/man1/proclens-cli.1.gz \
  usr/share/bash-completion/completions/proclens-cli usr/share/doc/proclens/copyright \
  usr/share/icons/hicolor/scalable/apps/proclens.svg; do
  [ -f "$root/$file" ] || fail "the package lacks /$file"
done
for size in 16 24 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x$size/apps/proclens.png
  identify -format '%wx%h' "$icon" 2>/dev/null | grep -qx "${size}x$size" || fail "no ${size}x$size icon"
done
grep -q '^License: MIT$' "$share/doc/proclens/copyright" || fail "the copyright file names no MIT licence"
grep -q 'Permission is hereby granted, free of charge' "$share/doc/proclens/copyright" ||
  fail "the copyright file does not carry the licence text"
desktop-file-validate "$share/applications/proclens.desktop" || fail "desktop-file-validate"
metainfo=$(ls "$share"/metainfo/*.metainfo.xml) || fail "no metainfo"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli validate: $(cat "$work/appstream.log")"
for page in "$share"/man/man1/*.1.gz; do
  gzip -t "$page" || fail "$page is not gzip"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
lintian "$deb" >"$work/lintian.log" 2>&1
grep -v '^running with root' "$work/lintian.log" | sed 's/^/lintian: /'
grep -q '^E: ' "$work/lintian.log" && fail "lintian reports errors"

# ---- proclens-cli from the extracted root
cli=$root/usr/bin/proclens-cli
"$cli" --version | head -n1 | grep -qx "proclens-cli (ProcLens) $version" || fail "proclens-cli --version"
"$root/usr/bin/proclens" --version | head -n1 | grep -qx "proclens (ProcLens) $version" || fail "proclens --version"
"$cli" list >"$work/list" || fail "proclens-cli list failed"
grep -q "$(printf '\tproclens-cli\t%s\t' "$cli")" "$work/list" || fail "the list lacks proclens-cli itself"
# The page templates and pictures travel inside the program.
page=$(TMPDIR=$work "$cli" page "$root/usr/bin/proclens") || fail "proclens-cli page failed"
grep -q 'proclens' "$page" || fail "the page does not name its program"
# Extracted only, the package is not in dpkg's database: nothing names the file.
"$cli" version "$cli" | grep -q "$(printf '\tnone\t')" || fail "version of an unregistered file: $("$cli" version "$cli")"

# ---- the bash completion knows every command and every option
commands=$("$cli" --help | awk '/^commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')
[ -n "$commands" ] || fail "no commands in proclens-cli --help"
complete_words() {
  bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _proclens_cli; printf "%s\n" "${COMPREPLY[@]}"' \
    sh "$share/bash-completion/completions/proclens-cli" proclens-cli "$@" | sort
}
[ "$(complete_words "")" = "$(printf '%s\n' $commands help --help --version | sort)" ] ||
  fail "completion of a command: $(complete_words "" | tr '\n' ' ')"
for command in $commands; do
  options=$("$cli" help "$command" | awk '/^options:/ { on = 1; next } on { print $1 }')
  [ "$(complete_words "$command" -)" = "$(printf '%s\n' $options --help | sort)" ] ||
    fail "completion of the options of $command: $(complete_words "$command" - | tr '\n' ' ')"
done

# ---- the window from the extracted root, on a display of its own
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
HOME=$work NO_AT_BRIDGE=1 TMPDIR=$work "$root/usr/bin/proclens" >"$work/window.log" 2>&1 &
window_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^ProcLens' 2>/dev/null | head -n1)
[ -n "$window" ] || fail "no window appeared: $(cat "$work/window.log")"
sleep 1
kill -0 "$window_pid" 2>/dev/null || fail "the window ended by itself: $(cat "$work/window.log")"
"$close_window" "$window" || fail "cannot ask the window to close"
for _ in $(seq 100); do kill -0 "$window_pid" 2>/dev/null || break; sleep 0.1; done
wait "$window_pid"
status=$?
window_pid=
[ "$status" -eq 0 ] || fail "the window ended with status $status: $(cat "$work/window.log")"
echo "PASS: the package's fields, files and checks; proclens-cli, its completion and the window from $root"
