#!/usr/bin/env bash
# Installs the Debian packages ProcLens builds and tests with, skipping those
# already present, and the German locale the end-to-end tests start the window in.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
while read -r pkg; do
  [ -z "$pkg" ] && continue
  case "$pkg" in \#*) continue ;; esac
  if ! dpkg -s "$pkg" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$pkg")
  fi
done < "$here/.ci/packages.txt"

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_if_needed apt-get update -q
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The window is tried in German too; the locale has to exist for GTK to use it.
"$here/tests/e2e/setup-locale.sh" >/dev/null
