#!/usr/bin/env bash
# Installs what is missing, builds ProcLens for Linux and starts it. Without a
# display it says so in one line and shows the list in the terminal instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)"

# The window's toolkit opens a Wayland display, else an X display it can reach.
has_display() {
  [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
  [ -n "${DISPLAY:-}" ] || return 1
  command -v xdpyinfo >/dev/null 2>&1 || return 0
  xdpyinfo >/dev/null 2>&1
}

if has_display; then
  exec build/linux/platform/linux/window/proclens "$@"
fi
if [ -n "${DISPLAY:-}" ]; then why="$DISPLAY cannot be reached"; else why="DISPLAY is not set"; fi
echo "run.sh: no display to open the window on ($why); here is proclens-cli list instead:" >&2
exec build/linux/cli/proclens-cli list
