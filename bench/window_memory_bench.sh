#!/usr/bin/env bash
# Memory of the proclens window three seconds after the first click on a
# process, against GNOME System Monitor with its process tab open, both under
# one Xvfb in the same run. Memory is the proportional set size (PSS, from
# /proc/PID/smaps_rollup) of the program and every process it started (the
# web view's processes). Prints each process's PSS and the ratio.
#
# usage: window_memory_bench.sh PROCLENS [RUNS]
set -uo pipefail

proclens=$1 runs=${2:-3}
work=$(mktemp -d /tmp/proclens-memory.XXXXXX)
xvfb_pid= app_pid= monitor_pid=
settle=3  # seconds after the click (or after the monitor's window appeared)

cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$monitor_pid" ] && kill -TERM -- "-$monitor_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

display_number=$((160 + $$ % 100))
while [ -e "/tmp/.X11-unix/X$display_number" ]; do display_number=$((display_number + 1)); done
Xvfb ":$display_number" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display_number"
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The process and all its descendants, one pid a line.
tree_of() {
  local root=$1 pid
  echo "$root"
  for pid in $(ps -o pid= --ppid "$root" 2>/dev/null); do tree_of "$pid"; done
}
pss_kib() { awk '/^Pss:/ { print $2; exit }' "/proc/$1/smaps_rollup" 2>/dev/null; }
# "name pss" per process of the tree, then "total pss".
measure_tree() {
  local pid name pss total=0
  for pid in $(tree_of "$1"); do
    pss=$(pss_kib "$pid") || continue
    [ -n "$pss" ] || continue
    name=$(cat "/proc/$pid/comm" 2>/dev/null)
    printf '  %-22s %8s KiB\n' "$name" "$pss"
    total=$((total + pss))
  done
  echo "total $total"
}

proclens_once() {
  # A site that refuses at once: the click shows the offline page.
  PROCLENS_SITE_BASE=http://127.0.0.1:1/ "$proclens" >/dev/null 2>&1 &
  app_pid=$!
  local window
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$app_pid" --name ProcLens | head -1)
  [ -n "$window" ] || { echo "no proclens window" >&2; return 1; }
  sleep 2  # the browser pane is made after the first frame
  timeout 10 xdotool mousemove --window "$window" 60 77 click 1
  sleep "$settle"
  measure_tree "$app_pid" >"$work/proclens.$1"
  kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; app_pid=
}

monitor_once() {
  setsid timeout 60 dbus-run-session -- gnome-system-monitor --show-processes-tab >/dev/null 2>&1 &
  monitor_pid=$!
  for _ in $(seq 1 3000); do
    xdotool search --onlyvisible --name 'System Monitor' >/dev/null 2>&1 && break
    sleep 0.01
  done
  sleep "$settle"
  local monitor
  monitor=$(pgrep -n -s "$monitor_pid" -x gnome-system-mo)
  if [ -z "$monitor" ]; then echo "no system monitor" >&2; return 1; fi
  measure_tree "$monitor" >"$work/monitor.$1"
  kill -TERM -- "-$monitor_pid" 2>/dev/null; wait "$monitor_pid" 2>/dev/null; monitor_pid=
  for _ in $(seq 1 50); do xdotool search --name 'System Monitor' >/dev/null 2>&1 || break; sleep 0.1; done
}

total_of() { awk '$1 == "total" { print $2 }' "$1"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# Untimed first: the first GTK program on a display works out its GL visuals
# (loading the GL drivers) and leaves them on the root window for the next.
proclens_once warm-up || exit 1
for run in $(seq 1 "$runs"); do
  proclens_once "$run" || exit 1
  monitor_once "$run" || exit 1
done

echo "PSS ${settle} s after the first click (proclens) / after the window appeared (system monitor), last run:"
echo "proclens and the processes it started:"
grep -v '^total' "$work/proclens.$runs"
echo "GNOME System Monitor:"
grep -v '^total' "$work/monitor.$runs"
ours=$(for run in $(seq 1 "$runs"); do total_of "$work/proclens.$run"; done | median)
theirs=$(for run in $(seq 1 "$runs"); do total_of "$work/monitor.$run"; done | median)
printf '\n%-32s %10s\n' "median of $runs runs" "PSS (MiB)"
printf '%-32s %10.1f\n' "proclens (all processes)" "$(awk -v k="$ours" 'BEGIN { print k / 1024 }')"
printf '%-32s %10.1f\n' "GNOME System Monitor" "$(awk -v k="$theirs" 'BEGIN { print k / 1024 }')"
printf '%-32s %10.2f   (goal <= 3)\n' "ratio" "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { print a / b }')"
