#!/bin/sh
# Builds one libFuzzer target with clang and runs it for the given time.
#   tests/fuzz/run.sh NAME SECONDS     NAME: pe_version or scan
# The committed seeds stay as they are; what the fuzzer finds goes into the
# build directory (FUZZ_BUILD_DIR, default build/fuzz).
set -eu

name=${1:?usage: run.sh NAME SECONDS}
seconds=${2:?usage: run.sh NAME SECONDS}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${FUZZ_BUILD_DIR:-$root/build/fuzz}

case $name in
  pe_version)
    sources="platform/pe/pe_version_resource.cpp platform/pe/utf16_text.cpp
             platform/pe/version_block.cpp infopage/version_info_reader.cpp
             infopage/version_block_scan.cpp platform/system_info.cpp" ;;
  scan)
    sources="infopage/version_block_scan.cpp" ;;
  *) echo "run.sh: unknown target '$name' (pe_version, scan)" >&2; exit 2 ;;
esac

mkdir -p "$out/$name-corpus"
binary="$out/${name}_fuzz"
flags="-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I$root"
# shellcheck disable=SC2086
(cd "$root" && clang++ $flags "tests/fuzz/${name}_fuzz.cpp" $sources -o "$binary")

seeds="$here/seeds/$name"
exec "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  "$out/$name-corpus" "$seeds"
