#!/bin/sh
# Runs a command while the local test site is up, for tests that cannot start
# it themselves (the Windows tests under Wine):
#   with-test-site.sh COMMAND [ARGS...]
# The command sees PROCLENS_TEST_SITE (the site's base address, ending in a
# slash), PROCLENS_TEST_SITE_REPLY (the file the report reply is read from) and
# PROCLENS_TEST_SITE_LOG (the request log: path, tab, User-Agent per line).
# The site stops when the command ends; the command's exit code is returned.
set -u

if [ $# -lt 1 ]; then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi

here=$(cd "$(dirname "$0")" && pwd)
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3
dir=$(mktemp -d)
"$python" "$here/test_site.py" --port-file "$dir/port" --reply-file "$dir/reply" \
  --log-file "$dir/log" >/dev/null &
site=$!
trap 'kill $site 2>/dev/null; wait $site 2>/dev/null; rm -rf "$dir"' EXIT

tries=0
while [ ! -s "$dir/port" ]; do
  tries=$((tries + 1))
  if [ $tries -gt 300 ]; then
    echo "the test site did not start" >&2
    exit 1
  fi
  sleep 0.05
done

# The loopback site is reached directly, whatever proxy the environment names.
unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY all_proxy ALL_PROXY
export PROCLENS_TEST_SITE="http://127.0.0.1:$(cat "$dir/port")/"
export PROCLENS_TEST_SITE_REPLY="$dir/reply"
export PROCLENS_TEST_SITE_LOG="$dir/log"
"$@"
