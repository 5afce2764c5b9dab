#!/bin/sh
# The Windows packages under Wine, as a user meets them:
#   the ZIP holds the two programs, README.txt and the licence, and its
#     proclens-cli.exe runs from the unpacked folder;
#   the installer asks for no administrator rights, installs silently (/S)
#     for the current user (its folder, its Start menu, HKEY_CURRENT_USER),
#     and the installed proclens.exe starts and shows its window;
#   the uninstaller (/S) removes what was installed.
#   win32-package-test.sh RUN_UNDER_WINE PREFIX_DIR PACKAGE_BASE VERSION
# PACKAGE_BASE is the packages' path without .zip or .exe. Exits 77 (skipped)
# when they have not been built (cmake --build --preset mingw --target package).
set -u
run=$1 prefix=$2 base=$3 version=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$base.zip" ] && [ -f "$base.exe" ] || { echo "SKIP: no $base.zip and .exe; build the package target" >&2; exit 77; }
export PROCLENS_WINE_GRAPHICS=null PROCLENS_WINE_TIMEOUT=120

work=$(mktemp -d /tmp/proclens-win32-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
# A new prefix each time, so that what the uninstaller leaves is seen.
rm -rf "$prefix"
if command -v wineserver >/dev/null 2>&1; then wineserver=wineserver; else wineserver=/usr/lib/wine/wineserver64; fi
# Waits until every program of the prefix has ended and the registry is saved.
settle() { WINEPREFIX=$prefix timeout 120 "$wineserver" -w; }

# ---- the portable ZIP
/usr/bin/python3 - "$base.zip" "$version" <<'CHECK' || fail "the ZIP's contents"
import sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
names = sorted(name.split('/', 1)[1] for name in archive.namelist() if not name.endswith('/'))
assert names == ['LICENSE.txt', 'README.txt', 'proclens-cli.exe', 'proclens.exe'], names
readme = archive.read([n for n in archive.namelist() if n.endswith('/README.txt')][0])
assert b'\r\n' in readme and sys.argv[2].encode() in readme, 'README.txt: Windows lines and the version'
CHECK
/usr/bin/python3 -m zipfile -e "$base.zip" "$work/zip" || fail "cannot unpack the ZIP"
unpacked=$(find "$work/zip" -name proclens-cli.exe)
"$run" "$prefix" "$unpacked" --version | head -n1 | tr -d '\r' | grep -qx "proclens-cli (ProcLens) $version" ||
  fail "the unpacked proclens-cli.exe --version"

# ---- the installer
grep -aq 'level="asInvoker"' "$base.exe" || fail "the installer does not run with the user's own rights"
settle
user=$(ls "$prefix/drive_c/users" | grep -vx Public | head -n1)
home=$prefix/drive_c/users/$user
# Everything of the user's but the temporary folders (where the uninstaller
# runs a copy of itself, which Windows deletes on the next start) and the
# user's folder of programs, which other programs share.
user_files() {
  (cd "$home" && find . \( -path ./Temp -o -path ./AppData/Local/Temp -o -path ./AppData/Local/Programs \) -prune \
    -o -print | sort)
  ls -A "$home/AppData/Local/Programs" 2>/dev/null
}
user_files >"$work/before"
"$run" "$prefix" "$base.exe" /S || fail "the silent installation failed"
settle
folder=$home/AppData/Local/Programs/ProcLens
[ -d "$folder" ] || fail "nothing installed in the user's LocalAppData\\Programs"
installed=$(cd "$folder" && ls | sort | tr '\n' ' ')
[ "$installed" = "LICENSE.txt README.txt Uninstall.exe proclens-cli.exe proclens.exe " ] ||
  fail "installed: $installed"
[ -f "$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/ProcLens.lnk" ] ||
  fail "no Start-menu entry for the user"
key='[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ProcLens]'
grep -qF "$key" "$prefix/user.reg" || fail "no uninstaller registered for the user"
grep -A12 -F "$key" "$prefix/user.reg" | grep -qF "\"DisplayVersion\"=\"$version\"" || fail "registered version"
grep -qF 'ProcLens' "$prefix/system.reg" && fail "the installer wrote machine-wide settings"

# ---- the installed window starts: the installed proclens-cli.exe lists it
windows_folder="C:\\users\\$user\\AppData\\Local\\Programs\\ProcLens"
"$run" "$prefix" "$windows_folder\\proclens.exe" --version | head -n1 | tr -d '\r' |
  grep -qx "proclens (ProcLens) $version" || fail "the installed proclens.exe --version"
"$run" "$prefix" "$windows_folder\\proclens.exe" >"$work/window.log" 2>&1 &
window=$!
listed=
for _ in $(seq 30); do
  "$run" "$prefix" "$windows_folder\\proclens-cli.exe" list >"$work/list" 2>/dev/null
  if grep -qiF "$(printf '\tproclens.exe\t%s\\proclens.exe\t' "$windows_folder")" "$work/list"; then
    listed=yes
    break
  fi
  kill -0 "$window" 2>/dev/null || break
  sleep 1
done
kill -0 "$window" 2>/dev/null || fail "the installed proclens.exe ended: $(cat "$work/window.log")"
WINEPREFIX=$prefix "$wineserver" -k
wait "$window"
[ -n "$listed" ] || fail "the installed proclens.exe does not run: $(cat "$work/list")"
settle

# ---- the uninstaller removes what was installed
"$run" "$prefix" "$windows_folder\\Uninstall.exe" /S || fail "the silent uninstallation failed"
settle  # the uninstaller runs from a copy of itself, which it starts and leaves
user_files >"$work/after"
diff "$work/before" "$work/after" >"$work/left" || fail "left behind or removed: $(cat "$work/left")"
grep -qF "$key" "$prefix/user.reg" && fail "the uninstaller's registration is left behind"
echo "PASS: ZIP unpacked and run; installed silently for the user, started, uninstalled without a trace"
