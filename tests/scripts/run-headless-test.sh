#!/bin/sh
# scripts/run.sh on a machine without a display: one line on standard error
# that says so, then the process list of proclens-cli on standard output,
# and success. Also with a DISPLAY that names no reachable X server.
set -u
run_sh=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d /tmp/proclens-run-headless.XXXXXX)
trap 'rm -rf "$work"' EXIT

for display in "" ":$((900 + $$ % 90))"; do
  if [ -z "$display" ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY "$run_sh" >"$work/out" 2>"$work/err"
  else
    env -u WAYLAND_DISPLAY DISPLAY="$display" "$run_sh" >"$work/out" 2>"$work/err"
  fi
  status=$?
  [ "$status" -eq 0 ] || fail "DISPLAY='$display': exit status $status: $(cat "$work/err")"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "DISPLAY='$display': not one line: $(cat "$work/err")"
  grep -q 'no display' "$work/err" || fail "DISPLAY='$display': $(cat "$work/err")"
  # The list names proclens-cli itself, with its path and size.
  grep -q "$(printf '^[0-9]*\tproclens-cli\t/.*/proclens-cli\t[0-9]')" "$work/out" ||
    fail "DISPLAY='$display': no list: $(tail -n 5 "$work/out")"
done
echo "PASS: without a display, one line and the list"
