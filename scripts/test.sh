#!/usr/bin/env bash
# Installs what is missing, builds the Linux program and its Debian and RPM
# packages, the sanitizer build, and the Windows program with its ZIP and installer, and
# runs every test: unit, live Linux, end-to-end under Xvfb, the packages, the
# Windows tests under Wine, and a short fuzzing run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

jobs=${PROCLENS_JOBS:-$(nproc)}
step() { printf '\n== %s\n' "$*"; }

step "Linux build"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
step "Debian and RPM packages"
cmake --build --preset linux --target package

step "Linux build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan -j "$jobs" --target proclens_unit_tests

step "Windows build (MinGW-w64)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
step "Windows packages (ZIP, NSIS installer)"
cmake --build --preset mingw --target package

failed=0
step "Tests: Linux"
ctest --preset linux -j 1 || failed=1

step "Tests: unit tests under the sanitizers"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --preset linux-asan || failed=1

if [ -f build/mingw/CTestTestfile.cmake ] && grep -q add_test -r build/mingw --include=CTestTestfile.cmake; then
  step "Tests: Windows program under Wine"
  ctest --preset mingw || failed=1
fi

if [ -x tests/fuzz/run.sh ]; then
  step "Fuzzing, ${PROCLENS_FUZZ_SECONDS:-60} s per target"
  mkdir -p build/fuzz
  for target in pe_version scan; do
    log=build/fuzz/$target.log
    if tests/fuzz/run.sh "$target" "${PROCLENS_FUZZ_SECONDS:-60}" >"$log" 2>&1; then
      echo "$target: $(grep -m1 '^stat::number_of_executed_units' "$log" || echo 'no stats') (log: $log)"
    else
      tail -n 60 "$log"
      echo "$target: the fuzzer found a fault (log: $log)" >&2
      failed=1
    fi
  done
fi

if [ "$failed" -ne 0 ]; then
  echo "Some tests failed." >&2
  exit 1
fi
echo "All tests passed."
