# The pieces every end-to-end script needs; sourced, not run. The script
# defines $work before it calls them.

skip() { echo "SKIP: $*"; exit 77; }

# Ends the script with its reason and the end of the program's log; a script
# that has more to say defines its own before it sources this file.
if ! declare -F fail >/dev/null; then
  fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/app.log" ] && tail -5 "$work/app.log" >&2
    exit 1
  }
fi

# For "trap stop_all EXIT": ends the program ($app_pid) and every helper the
# script started ($pids), then removes the work folder.
stop_all() {
  for pid in $app_pid "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}

# Waits up to $1 seconds for the command after it to succeed. The short poll
# keeps the measured response times close to the real ones.
wait_for() {
  local limit=$1; shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.02
  done
}

# The id of the first visible window that `xdotool search` finds with the
# given options, waiting for it up to 60 s in all. A window that goes away
# while xdotool walks the tree (another program's, closing) makes it exit with
# an X error, so the search is tried again until the time is up.
find_window() {
  local found deadline=$((SECONDS + 60))
  while [ "$SECONDS" -lt "$deadline" ]; do
    found=$(timeout $((deadline - SECONDS)) xdotool search --sync --onlyvisible "$@" 2>/dev/null | head -1)
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.5
  done
  return 1
}

# A session bus of the script's own, in the environment from now on; its
# daemon joins $pids.
start_session_bus() {
  dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
  pids+=($!)
  wait_for 10 test -s "$work/bus" || fail "no session bus"
  DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
  export DBUS_SESSION_BUS_ADDRESS
}

require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
  done
}

# Sets lang_env to the locale the window is started in: en or de.
choose_language() {
  case $1 in
    en) lang_env=C.UTF-8 ;;
    de) lang_env=de_DE.UTF-8
        locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' ||
          skip "no de_DE.UTF-8 locale (run tests/e2e/setup-locale.sh)" ;;
    *) fail "unknown language $1" ;;
  esac
}

# Starts a display of our own, the first free number from $1 plus a
# per-process offset, so that scripts running side by side never meet.
# Sets DISPLAY and xvfb_pid.
start_xvfb() {
  local number=$(($1 + $$ % 200))
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
  done
  Xvfb ":$number" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$number"
  wait_for 15 xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
}

# The accessibility bus, found by the program's toolkit through the session
# bus (start_session_bus first); its launcher joins $pids.
start_accessibility_bus() {
  local launcher=/usr/libexec/at-spi-bus-launcher
  [ -x "$launcher" ] || skip "at-spi2-core is missing"
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is missing"
  "$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
  pids+=($!)
  unset NO_AT_BRIDGE
}

# The display ($1 as for start_xvfb), the session bus and the accessibility
# bus, all of the script's own.
start_desktop() {
  start_xvfb "$1"
  pids+=("$xvfb_pid")
  start_session_bus
  start_accessibility_bus
}

# The window as AT-SPI reads it (atspi_probe.py lists the questions).
e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
probe() { /usr/bin/python3 "$e2e_dir/atspi_probe.py" "$@"; }

# Waits for the window of $app_pid and for its list on the accessibility bus;
# sets window. $1, if given, names the run in a failure.
await_window() {
  window=$(find_window --pid "$app_pid" --name ProcLens)
  [ -n "$window" ] || fail "no window appeared${1:+ ($1)}"
  wait_for 30 probe rows >/dev/null || fail "the list is not on the accessibility bus${1:+ ($1)}"
}

# A click on the middle of column header $1, where AT-SPI places it; returns
# once the rows have changed (or after 10 s).
click_column_header() {
  local x y width height
  read -r x y width height < <(probe header "$1")
  probe rows >"$work/before-header"
  timeout 10 xdotool mousemove $((x + width / 2)) $((y + height / 2)) click 1
  wait_for 10 rows_changed || true
}
rows_changed() { ! probe rows | cmp -s - "$work/before-header"; }

# Clicks the name header until the command succeeds, three times at most.
sort_names_until() {
  local clicks=0
  until "$@"; do
    [ $((clicks += 1)) -le 3 ] || return 1
    click_column_header 0
  done
}

# Processes of the script's own, copies of sleep in $work under the names
# given, for five minutes: names that sort first give their rows a known place.
start_children() {
  local name
  for name in "$@"; do
    cp "$(command -v sleep)" "$work/$name"
    "$work/$name" 300 &
    pids+=($!)
  done
}

# The local test site (tests/site/test_site.py) with the options given, its
# requests logged in $work/site.log; sets site to its base address.
start_test_site() {
  /usr/bin/python3 "$e2e_dir/../site/test_site.py" --port-file "$work/port" --log-file "$work/site.log" "$@" \
    >/dev/null 2>&1 &
  pids+=($!)
  wait_for 15 test -s "$work/port" || fail "the test site did not start"
  site="http://127.0.0.1:$(cat "$work/port")/"
  export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1
}

# How many pages the window has written into $pages (its temporary folder).
page_count() { find "$pages" -maxdepth 1 -name 'htm*' 2>/dev/null | wc -l; }
more_pages_than() { [ "$(page_count)" -gt "$1" ]; }

# The pids of the running processes with the name (as /proc/PID/comm cuts
# it) whose program is the file PATH: a row of the list matched to /proc.
pids_of_row() {
  local name=$1 path=$2 dir
  for dir in /proc/[0-9]*; do
    if [ "$(readlink "$dir/exe" 2>/dev/null)" = "$path" ] && [ "$(cat "$dir/comm" 2>/dev/null)" = "${name:0:15}" ]; then
      echo "${dir#/proc/}"
    fi
  done
}
