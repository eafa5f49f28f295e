#!/usr/bin/env bash
# The web build's story in headless Chromium:
#   tests/web/run.sh <build-web folder>
# A failed run's screenshots and the page's log are kept in <folder>-failed/ beside it.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1/index.html" ]; then
  echo "usage: $0 <build-web folder with index.html>" >&2
  exit 2
fi
site=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
kept="$site-failed"
work=$(mktemp -d "${TMPDIR:-/tmp}/chalkmere-web.XXXXXX")
trap 'rm -rf "$work"' EXIT

command -v node >/dev/null || { echo "node is missing (make test-deps installs it)" >&2; exit 1; }
[ -x "${CHALKMERE_CHROMIUM:-/usr/bin/chromium}" ] ||
  { echo "chromium is missing (make test-deps installs it)" >&2; exit 1; }
if [ ! -d "$here/node_modules/puppeteer-core" ] || [ ! -d "$here/node_modules/pngjs" ]; then
  (cd "$here" && npm ci --no-audit --no-fund) >&2
fi

rm -rf "$kept"
node "$here/story.mjs" "$site" "$here/../golden" "$work" || {
  status=$?
  mkdir -p "$kept" && cp "$work"/* "$kept"/ 2>/dev/null || true
  echo "Screenshots and the page's log are kept in $kept" >&2
  exit "$status"
}
