#!/usr/bin/env bash
# Start-up time of the proclens window, from launch until the X server maps
# it (its list filled, as the window is shown only then), against GNOME
# System Monitor opening its process tab (launch until its window is
# mapped), both under one Xvfb, with 300 and then 1,000 extra sleeping
# processes. map_wait reads each map as a window manager would. Each figure
# is the median of several runs.
#
# usage: window_startup_bench.sh PROCLENS CLOSE-HELPER MAP-WAIT [RUNS]
set -uo pipefail

proclens=$1 close_window=$2 map_wait=$3 runs=${4:-5}
work=$(mktemp -d /tmp/proclens-bench.XXXXXX)
xvfb_pid= children=()

cleanup() {
  [ ${#children[@]} -gt 0 ] && kill "${children[@]}" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

now() { date +%s.%N; }
seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

display_number=$((150 + $$ % 100))
while [ -e "/tmp/.X11-unix/X$display_number" ]; do display_number=$((display_number + 1)); done
Xvfb ":$display_number" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display_number"
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The extra processes: sleeps that end by themselves should the cleanup not run.
spawn_children() {
  local target=$1
  while [ ${#children[@]} -lt "$target" ]; do
    sleep 600 &
    children+=($!)
  done
}

# Starts the map watch for windows named $1; its output goes to $work/mapped.
watch_map() {
  rm -f "$work/mapped"
  "$map_wait" "$1" 60 >"$work/mapped" &
  watcher=$!
  for _ in $(seq 1 500); do grep -q ready "$work/mapped" 2>/dev/null && return; sleep 0.01; done
}
# The moment the watch saw the map, once it has (in $mapped).
await_map() {
  wait "$watcher" 2>/dev/null
  mapped=$(sed -n 2p "$work/mapped")
}

# Launch until proclens's window is mapped.
proclens_once() {
  local start mark pid window
  watch_map ProcLens
  start=$(now)
  timeout 60 "$proclens" >/dev/null 2>&1 &
  pid=$!
  await_map
  mark=$mapped
  window=$(timeout 10 xdotool search --sync --onlyvisible --name ProcLens | head -1)
  [ -n "$window" ] && "$close_window" "$window"
  timeout 10 tail --pid="$pid" -f /dev/null; kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  [ -n "$mark" ] && seconds_between "$start" "$mark"
}

# Launch until the system monitor's window is mapped, on its process tab.
monitor_once() {
  local start pid found
  watch_map 'System Monitor'
  start=$(now)
  # In a session of its own, so that the whole group it starts can be ended by its id.
  setsid timeout 60 dbus-run-session -- gnome-system-monitor --show-processes-tab >/dev/null 2>&1 &
  pid=$!
  await_map
  found=$mapped
  kill -TERM -- "-$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  for _ in $(seq 1 50); do xdotool search --name 'System Monitor' >/dev/null 2>&1 || break; sleep 0.1; done
  [ -n "$found" ] && seconds_between "$start" "$found"
}

measure() {
  local fn=$1 times=${2:-$runs} i
  for i in $(seq 1 "$times"); do "$fn"; echo; done | grep -v '^$' | median
}

printf '%-8s %-10s %-22s %-22s %s\n' extra processes "proclens (s, median)" "system monitor (s)" "ratio (goal <= 0.50)"
for count in 300 1000; do
  spawn_children "$count"
  sleep 1
  listed=$(ls -d /proc/[0-9]* | wc -l)
  measure proclens_once 1 >/dev/null  # warm the caches of both before timing
  measure monitor_once 1 >/dev/null
  ours=$(measure proclens_once)
  theirs=$(measure monitor_once)
  if [ -z "$ours" ] || [ -z "$theirs" ]; then
    echo "$count: a program did not come up (proclens '$ours', monitor '$theirs')" >&2
    exit 1
  fi
  ratio=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
  printf '%-8s %-10s %-22s %-22s %s\n' "$count" "$listed" "$ours" "$theirs" "$ratio"
done
