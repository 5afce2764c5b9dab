#!/bin/sh
# The RPM package as a user gets it: its header fields and dependencies,
# rpmlint's judgement, the same files as the Debian package, and an install
# with rpm into a root of the test's own, verified by rpm and run from there.
#   rpm-test.sh RPM VERSION DEB RPMLINT_CONFIG
# Exits 77 (skipped) when the package has not been built
# (cmake --build --preset linux --target package).
set -u
package=$1 version=$2 deb=$3 rpmlint_config=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$package" ] || { echo "SKIP: no $package; build it with --target package" >&2; exit 77; }

work=$(mktemp -d /tmp/proclens-rpm.XXXXXX)
trap 'rm -rf "$work"' EXIT
root=$work/root
# rpm and rpmlint make a database in the home folder when it has none.
export HOME=$work

# ---- header fields and dependencies
field() { rpm -qp --qf "%{$1}" "$package" 2>/dev/null; }
[ "$(field VERSION)" = "$version" ] || fail "version $(field VERSION), not $version"
[ "$(field LICENSE)" = MIT ] || fail "licence $(field LICENSE)"
for tag in SUMMARY PACKAGER VENDOR URL; do
  [ -n "$(field $tag)" ] && [ "$(field $tag)" != "(none)" ] || fail "no $tag"
done
[ "$(field DESCRIPTION | wc -l)" -ge 3 ] || fail "no long description"
rpm -qp --requires "$package" 2>/dev/null >"$work/requires"
grep -q '^libgtk-3.so.0()(64bit)$' "$work/requires" || fail "Requires lacks the libraries: $(cat "$work/requires")"
for opened in libwebkit2gtk-4.1.so.0 libcurl.so.4 libcrypto.so.3; do
  grep -q "^$opened()(64bit)" "$work/requires" || fail "Requires lacks $opened, which the programs open themselves"
done
grep -q librpm "$work/requires" && fail "librpm is required, not recommended"
rpm -qp --recommends "$package" 2>/dev/null | grep -q 'librpm.so.9()(64bit)' || fail "librpm is not recommended"

# ---- rpmlint
rpmlint -c "$rpmlint_config" "$package" >"$work/rpmlint.log" 2>&1
grep ': [EW]: ' "$work/rpmlint.log" | sed 's/^/rpmlint: /'
grep -q ': E: ' "$work/rpmlint.log" && fail "rpmlint reports errors"
grep -q ' 0 errors' "$work/rpmlint.log" || fail "rpmlint did not finish: $(tail -n 3 "$work/rpmlint.log")"

# ---- installed into a root of its own: the files of the .deb, as rpm recorded them
rpm --root "$root" --nodeps -i "$package" >"$work/install.log" 2>&1 || fail "rpm -i: $(cat "$work/install.log")"
rpm --root "$root" -V --nodeps proclens >"$work/verify.log" 2>&1 || fail "rpm -V: $(cat "$work/verify.log")"
if [ -f "$deb" ]; then
  dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/deb-files"
  rpm -qpl "$package" 2>/dev/null | grep -v '^/usr/lib/.build-id' | while read -r file; do
    [ -d "$root$file" ] || echo "$file"
  done | sort >"$work/rpm-files"
  diff "$work/deb-files" "$work/rpm-files" >"$work/files.diff" || fail "files unlike the .deb's: $(cat "$work/files.diff")"
fi
cli=$root/usr/bin/proclens-cli
"$cli" --version | head -n1 | grep -qx "proclens-cli (ProcLens) $version" || fail "proclens-cli --version"
"$root/usr/bin/proclens" --version | head -n1 | grep -qx "proclens (ProcLens) $version" || fail "proclens --version"
"$cli" version "$root/usr/bin/proclens" >/dev/null || fail "proclens-cli version failed"
echo "PASS: the package's fields, dependencies and rpmlint; installed with rpm into $root, verified and run"
