# The pieces both tests of the window under Wine need; sourced, not run. The
# script sets run_under_wine, prefix, program, probe and artifacts and defines
# fail() first. The window is read from outside by proclens_window_probe.exe
# into $state (its records are described there).
mkdir -p "$artifacts"
work=$(mktemp -d)
state="$work/state.txt"
xvfb_pid= program_pid= probe_pid= window=

cleanup() {
  [ -n "$probe_pid" ] && kill -- "-$probe_pid" 2>/dev/null
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 10 s for the command to succeed.
await() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
# Whether a line of the state file matches the grep pattern, or the awk
# pattern over its tab-separated fields.
state_has() { [ -f "$state" ] && grep -q "$1" "$state"; }
state_matches() { [ -f "$state" ] && awk -F'\t' "$1 { found = 1 } END { exit !found }" "$state"; }
# The value of a one-field record of the state file ("view", "vscroll", ...).
record() { awk -F'\t' -v key="$1" '$1 == key { print $2; exit }' "$state"; }
# Clicks a point of the window's client area (Wine's X window is the client area).
click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# A display of our own: Xvfb picks a free number and writes it to the pipe.
start_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  await test -s "$work/display" || fail "Xvfb did not start"
  DISPLAY=:$(head -n1 "$work/display")
  export DISPLAY
}

# start_program [ENV=VALUE ...]: runs the program, waits for its window and
# has the probe read it into $state from then on.
start_program() {
  rm -f "$state"
  env "$@" PROCLENS_WINE_TIMEOUT=180 "$run_under_wine" "$prefix" "$program" >"$work/program.log" 2>&1 &
  program_pid=$!
  window=$(timeout 120 xdotool search --sync --onlyvisible --name "ProcLens" 2>/dev/null | head -n1)
  [ -n "$window" ] || fail "no ProcLens window appeared"
  PROCLENS_WINE_TIMEOUT=180 setsid "$run_under_wine" "$prefix" "$probe" watch "Z:$state" >"$work/probe.log" 2>&1 &
  probe_pid=$!
  await state_has '^item' || fail "the probe read no list"
}
