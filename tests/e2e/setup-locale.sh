#!/bin/sh
# Makes the German locale that the end-to-end test starts the window in.
# Needs root (or sudo) the first time; does nothing when the locale exists.
set -eu
has_locale() { locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; }
has_locale && exit 0
run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
if [ -f /etc/locale.gen ] && command -v locale-gen >/dev/null; then
  run sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | run tee -a /etc/locale.gen >/dev/null
  run locale-gen
else
  run localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
has_locale
