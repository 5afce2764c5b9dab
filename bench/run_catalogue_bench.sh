#!/bin/bash
# Times the process catalogue against two yardsticks with the same crowd of
# processes running: a bare C++ walk over /proc (comm + readlink + stat, the
# floor) and psutil (name + exe + stat, what a script writer would use).
# Builds nothing.
#
# usage: run_catalogue_bench.sh BENCH_BINARY [REPS]
#   BENCH_BINARY  the built catalogue_bench
#   REPS          repetitions of each measurement, median reported (default 7)
# PYTHON selects the interpreter that has psutil (default /usr/bin/python3).
# With PROCLENS_CLI and PROCLENS_WALK_FLOOR set, it also times `proclens-cli
# list` as a whole program against a bare C walk over /proc (N=1000, medians
# of nine runs each).

set -euo pipefail

bench=${1:?usage: run_catalogue_bench.sh BENCH_BINARY [REPS]}
reps=${2:-7}
python=${PYTHON:-/usr/bin/python3}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sizes=(1000 2000)
# The children end on their own after this long even if everything else fails.
lifetime=300

[[ -x $bench ]] || { echo "not an executable: $bench" >&2; exit 2; }
"$python" -c 'import psutil' || { echo "$python has no psutil (python3-psutil)" >&2; exit 2; }

work=$(mktemp -d)
holder=""
stop_holder() {
  if [[ -n $holder ]]; then
    kill -TERM "$holder" 2>/dev/null || true
    wait "$holder" 2>/dev/null || true
    holder=""
  fi
}
trap 'stop_holder; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# Starts N sleeping children and waits until all of them run.
start_children() {
  local n=$1 ready="$work/ready.$1"
  "$bench" --hold "$n" --lifetime "$lifetime" >"$ready" 2>"$work/holder.$n.log" &
  holder=$!
  for _ in $(seq 600); do
    grep -q '^ready' "$ready" 2>/dev/null && return 0
    kill -0 "$holder" 2>/dev/null || {
      holder=""
      echo "the holder of $n children failed:" >&2
      cat "$work/holder.$n.log" >&2
      return 1
    }
    sleep 0.1
  done
  echo "the $n children did not start in time" >&2
  return 1
}

value() { awk -v key="$2" '$1 == key { print $2 }' "$1"; }

cli=${PROCLENS_CLI:-} walk_floor=${PROCLENS_WALK_FLOOR:-}
for n in "${sizes[@]}"; do
  start_children "$n"
  if [[ $n == 1000 && -x $cli && -x $walk_floor ]]; then
    "$python" "$here/process_start_times.py" 9 "cli=$cli list" "walk=$walk_floor" >"$work/programs.$n"
  fi
  "$bench" --measure --reps "$reps" >"$work/ours.$n"
  "$python" "$here/psutil_catalogue.py" --reps "$reps" >"$work/psutil.$n"
  stop_holder
done

# Wall time is what a user waits for; CPU time leaves out the stalls that other
# programs on a shared machine add, so the goals are judged on CPU time and the
# wall-time ratios are shown beside them.
get() { value "$work/$1.$2" "$3"; }
divide() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }
# verdict RATIO TEST: the test is an awk expression over r.
verdict() { awk -v r="$1" "BEGIN { print (($2) ? \"PASS\" : \"MISS\") }"; }

printf '\nProcess catalogue: median of %s runs, milliseconds (wall / cpu)\n' "$reps"
printf '%6s %7s %19s %19s %19s %19s\n' N listed ours floor psutil "ours, first run"
for n in "${sizes[@]}"; do
  printf '%6s %7s %9s/%-9s %9s/%-9s %9s/%-9s %9s/%-9s\n' "$n" "$(get ours "$n" fill_items)" \
    "$(get ours "$n" fill_wall_ms)" "$(get ours "$n" fill_cpu_ms)" \
    "$(get ours "$n" floor_wall_ms)" "$(get ours "$n" floor_cpu_ms)" \
    "$(get psutil "$n" psutil_wall_ms)" "$(get psutil "$n" psutil_cpu_ms)" \
    "$(get ours "$n" fill_first_wall_ms)" "$(get ours "$n" fill_first_cpu_ms)"
done
printf '(listed: processes in our list, the N children included; the first run of a\n process also reads the desktop entries)\n'

# row NAME NUMERATOR(file key) DENOMINATOR(file key) for wall and cpu, [GOAL TEST]
row() {
  local name=$1 goal=${6:-} test=${7:-}
  local wall cpu
  wall=$(divide "$(value "$work/$2" "$3_wall_ms")" "$(value "$work/$4" "$5_wall_ms")")
  cpu=$(divide "$(value "$work/$2" "$3_cpu_ms")" "$(value "$work/$4" "$5_cpu_ms")")
  if [[ -n $goal ]]; then
    printf '%-24s %6s %6s   %-8s %s\n' "$name" "$wall" "$cpu" "$goal" "$(verdict "$cpu" "$test")"
  else
    printf '%-24s %6s %6s\n' "$name" "$wall" "$cpu"
  fi
}
printf '\n%-24s %6s %6s   %-8s %s\n' ratio wall cpu goal "(on cpu)"
row "ours/floor   (N=1000)" ours.1000 fill ours.1000 floor "<= 3" 'r <= 3'
row "psutil/ours  (N=1000)" psutil.1000 psutil ours.1000 fill ">= 5" 'r >= 5'
row "ours(2000)/ours(1000)" ours.2000 fill ours.1000 fill "<= 2.2" 'r <= 2.2'
row "ours/floor   (N=2000)" ours.2000 fill ours.2000 floor
row "psutil/ours  (N=2000)" psutil.2000 psutil ours.2000 fill
# How much room the two goals leave: ours can beat psutil 5x only when psutil
# costs at least five floors.
row "psutil/floor (N=1000)" psutil.1000 psutil ours.1000 floor

if [[ -s $work/programs.1000 ]]; then
  printf '\nWhole programs at N=1000, start-up included: median of 9 runs, milliseconds (wall / cpu)\n'
  printf '%-34s %9s/%-9s\n' "proclens-cli list" "$(value "$work/programs.1000" cli_wall_ms)" \
    "$(value "$work/programs.1000" cli_cpu_ms)"
  printf '%-34s %9s/%-9s\n' "C walk: comm, readlink, stat" "$(value "$work/programs.1000" walk_wall_ms)" \
    "$(value "$work/programs.1000" walk_cpu_ms)"
  printf '\n%-24s %6s %6s   %-8s %s\n' ratio wall cpu goal "(on cpu)"
  row "cli list/C walk (1000)" programs.1000 cli programs.1000 walk "<= 1.5" 'r <= 1.5'
fi
