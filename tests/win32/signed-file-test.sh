#!/bin/sh
# Signs a small program with a throwaway key and self-signed certificate, made
# here and removed afterwards, and runs the signature tests on it under Wine.
#   signed-file-test.sh RUN_UNDER_WINE PREFIX_DIR TESTS.exe SAMPLE.exe
set -eu
[ $# -eq 4 ] || { echo "usage: $0 RUN_UNDER_WINE PREFIX_DIR TESTS.exe SAMPLE.exe" >&2; exit 2; }
run_under_wine=$1 prefix=$2 tests=$3 sample=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The tests expect this name, with its non-ASCII letter, as the signer.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -utf8 -subj "/CN=ProcLens Prüfstelle" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$work/key.pem" -out "$work/certificate.pem" 2>"$work/openssl.log" || { cat "$work/openssl.log" >&2; exit 1; }
openssl x509 -in "$work/certificate.pem" -outform DER -out "$work/certificate.der"
osslsigncode sign -certs "$work/certificate.pem" -key "$work/key.pem" -h sha256 \
  -in "$sample" -out "$work/signed.exe" >"$work/osslsigncode.log" 2>&1 || { cat "$work/osslsigncode.log" >&2; exit 1; }
thumbprint=$(openssl x509 -in "$work/certificate.pem" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')

# Wine sees the Unix root as drive Z:.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
export PROCLENS_SIGNED_SAMPLE="$(windows_path "$work/signed.exe")"
export PROCLENS_SIGNING_CERTIFICATE="$(windows_path "$work/certificate.der")"
# Each run must pass exactly one test, not skip it or match none.
run_one() {
  status=0
  output=$("$run_under_wine" "$prefix" "$tests" --gtest_filter="$1" 2>&1) || status=$?
  printf '%s\n' "$output"
  [ "$status" -eq 0 ] || return "$status"
  printf '%s\n' "$output" | tr -d '\r' | grep -q '^\[  PASSED  \] 1 test\.$' &&
    ! printf '%s\n' "$output" | grep -q '^\[  SKIPPED \]' || { echo "$1: not exactly one test passed" >&2; return 1; }
}
status=0
run_one 'SignedFileTest.*Untrusted*' || status=$?
[ "$status" -ne 0 ] || run_one 'SignedFileTest.TrustedRoot*' || status=$?
# The test made the certificate a trusted root of the prefix's current user.
"$run_under_wine" "$prefix" reg delete \
  "HKCU\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$thumbprint" /f >/dev/null 2>&1 || true
exit "$status"
