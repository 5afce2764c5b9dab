#!/bin/sh
# proclens-cli.exe under Wine, as a scripting user runs it:
#   list --json     Wine's own processes with their C:\windows\system32 paths
#                   and size texts, in UTF-8 JSON;
#   version --json  on the prefix's programs, the same texts as the Linux
#                   build's portable reader gives for the same files;
#   verify          an unsigned program of Wine's is "unsigned";
#   page            a page whose picture and hover addresses name the program,
#                   installed below blanks, parentheses, a quote, a letter
#                   beyond ASCII, ".gifs" and ".jpg.d".
#
#   cli-test.sh RUN_UNDER_WINE PREFIX CLI.exe LINUX_CLI PAGE_CHECKER
# Exits 77 (skipped) when the Linux build's proclens-cli is not there.
set -u
run=$1 prefix=$2 cli=$3 linux_cli=$4 checker=$5
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$linux_cli" ] || { echo "SKIP: no Linux build's proclens-cli at $linux_cli" >&2; exit 77; }

# One language for both systems: U.S. English, the ANSI code page 1252.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
work=$(mktemp -d /tmp/proclens-cli-wine.XXXXXX)
install_dir=
trap 'rm -rf "$work" ${install_dir:+"$install_dir"}' EXIT

# ---- list
"$run" "$prefix" "$cli" list --json >"$work/list.json" || fail "list --json failed"
/usr/bin/python3 - "$work/list.json" <<'CHECK' || fail "list --json: $(head -c 600 "$work/list.json")"
import json, sys
items = json.loads(open(sys.argv[1], 'rb').read().decode('utf-8'))
system = [i for i in items if i['path'].lower().startswith('c:\\windows\\system32\\')]
print('%d processes, %d from C:\\windows\\system32' % (len(items), len(system)))
assert any(i['caption'].lower() == 'services.exe' for i in system), 'no services.exe'
assert all(any(c.isdigit() for c in i['size_text']) for i in system), 'an item without its size'
CHECK

# ---- version: the same files through version.dll and through the Linux build
system32="$prefix/drive_c/windows/system32"
ls "$system32" | grep -i '\.exe$' | sort >"$work/names"
[ "$(wc -l <"$work/names")" -gt 20 ] || fail "too few programs in $system32"
# shellcheck disable=SC2046
"$run" "$prefix" "$cli" version --json $(sed 's/^/C:\\windows\\system32\\/' "$work/names") \
  >"$work/windows.json" || fail "version --json failed under Wine"
sed "s|^|$system32/|" "$work/names" | xargs -d '\n' "$linux_cli" version --json >"$work/linux.json" ||
  fail "version --json failed on Linux"
/usr/bin/python3 - "$work/windows.json" "$work/linux.json" <<'CHECK' || fail "the two version readers disagree"
import json, sys
def by_name(path, separator):
    return {e['file'].rsplit(separator, 1)[-1].lower(): e
            for e in json.loads(open(path, 'rb').read().decode('utf-8'))}
windows, linux = by_name(sys.argv[1], '\\'), by_name(sys.argv[2], '/')
assert windows.keys() == linux.keys(), 'different files'
keys = ('ok', 'description', 'product', 'company')
differ = [n for n in windows if any(windows[n][k] != linux[n][k] for k in keys)]
for name in differ:
    print(name, [windows[name][k] for k in keys], [linux[name][k] for k in keys])
with_texts = sum(1 for e in windows.values() if e['ok'] and e['description'])
print('%d programs, %d with a description, %d differ' % (len(windows), with_texts, len(differ)))
assert with_texts > 10 and not differ
CHECK

# ---- verify: Wine's own programs carry no signature, so the command fails
"$run" "$prefix" "$cli" verify --json 'C:\windows\system32\notepad.exe' >"$work/verify.json"
status=$?
[ "$status" -eq 1 ] || fail "verify of an unsigned program exited with $status"
grep -q '"state": "unsigned"' "$work/verify.json" || fail "verify: $(cat "$work/verify.json")"

# ---- page, from a folder whose name the page's addresses must keep whole
folder="ProcLens Test (x86)/$(printf '\303\234')ber 'q/my.gifs/x.jpg.d"
install_dir="$prefix/drive_c/ProcLens Test (x86)"
mkdir -p "$prefix/drive_c/$folder" && cp "$cli" "$prefix/drive_c/$folder/proclens-cli.exe" || fail "cannot install"
program="C:\\$(printf '%s' "$folder" | tr / '\\')\\proclens-cli.exe"
page=$("$run" "$prefix" "$program" page 'C:\windows\system32\notepad.exe') || fail "page failed"
page_file="$prefix/drive_c/$(printf '%s' "${page#C:\\}" | tr '\\' /)"
[ -f "$page_file" ] || fail "page printed '$page', not a file"
"$checker" "$page_file" "$program" cp1252 ||
  fail "the page's addresses do not name $program"
echo "PASS: proclens-cli.exe list, version, verify and page under Wine"
