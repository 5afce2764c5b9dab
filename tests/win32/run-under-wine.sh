#!/bin/sh
# Runs a Windows program under Wine in a prefix of its own and returns the
# program's exit code.
#   run-under-wine.sh PREFIX_DIR PROGRAM.exe [ARGS...]
# The prefix is created on first use (wineboot -i); later runs reuse it.
# Mono and Gecko are switched off so that Wine never stops to offer them.
# PROCLENS_WINE_TIMEOUT (seconds, default 600) bounds the program's run.
# PROCLENS_WINE_GRAPHICS=null gives the prefix Wine's display-less graphics
# driver: windows exist and answer messages without an X server, which the
# tests of the window controls need; x11 restores the usual one.
set -u

if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIX_DIR PROGRAM.exe [ARGS...]" >&2
  exit 2
fi
prefix=$1
shift

export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="

# Debian's "wine" wrapper insists on wine32 for some tasks; the 64-bit loader
# is all a 64-bit test program needs.
if command -v wine64 >/dev/null 2>&1; then
  wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then
  wine=/usr/lib/wine/wine64
else
  wine=wine
fi

if command -v wineserver >/dev/null 2>&1; then
  wineserver=wineserver
elif [ -x /usr/lib/wine/wineserver64 ]; then
  wineserver=/usr/lib/wine/wineserver64
else
  wineserver=/usr/lib/wine/wineserver
fi

mkdir -p "$prefix"
# Several tests may start at once: one of them creates the prefix, the others wait.
(
  flock 9
  if [ ! -f "$prefix/.proclens-ready" ]; then
    if ! timeout 300 wineboot -i >"$prefix/wineboot.log" 2>&1; then
      echo "wineboot failed; see $prefix/wineboot.log" >&2
      exit 1
    fi
    touch "$prefix/.proclens-ready"
  fi
  graphics=${PROCLENS_WINE_GRAPHICS:-}
  if [ -n "$graphics" ] && [ "$(cat "$prefix/.proclens-graphics" 2>/dev/null)" != "$graphics" ]; then
    if [ "$graphics" = x11 ]; then
      "$wine" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1
    else
      "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f >/dev/null 2>&1 ||
        { echo "cannot set the graphics driver $graphics" >&2; exit 1; }
    fi
    # The driver is chosen when the prefix's processes start: let the ones
    # running now (wineboot's, or another test's) end first.
    timeout 300 "$wineserver" -w
    echo "$graphics" >"$prefix/.proclens-graphics"
  fi
) 9>"$prefix.lock" || exit 1

timeout "${PROCLENS_WINE_TIMEOUT:-600}" "$wine" "$@"
status=$?
if [ $status -eq 124 ]; then
  echo "$1 did not end within ${PROCLENS_WINE_TIMEOUT:-600} s" >&2
fi
exit $status
