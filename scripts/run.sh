#!/usr/bin/env bash
# Installs what is missing, builds ProcLens for Linux and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)"

if [ -x build/linux/platform/linux/window/proclens ]; then
  exec build/linux/platform/linux/window/proclens "$@"
fi
exec build/linux/cli/proclens-cli list "$@"
