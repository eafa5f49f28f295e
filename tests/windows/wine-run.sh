#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix, made on first use:
#   wine-run.sh <prefix> <program.exe> [arguments…]
# on the X display WINE_RUN_DISPLAY names, or on an Xvfb of its own (Wine makes no windows
# without a display), never on the desktop of whoever runs the tests.
#   wine-run.sh <prefix> wineserver [arguments…]
# runs the prefix's server (-p keeps it running, -w waits for its end, -k ends it and every
# program in the prefix).
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine=$(command -v wine64 || command -v wine || true)
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
[ -n "$wine" ] || { echo "wine-run.sh: wine is missing (make test-deps installs it)" >&2; exit 1; }
server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
[ "$1" = wineserver ] && shift && exec "$server" "$@"

xvfb=
if [ -n "${WINE_RUN_DISPLAY:-}" ]; then
  export DISPLAY=$WINE_RUN_DISPLAY
else
  # shellcheck source=tests/e2e/display.sh
  source "$(dirname "$0")/../e2e/display.sh"
  folder=$(mktemp -d "${TMPDIR:-/tmp}/chalkmere-wine.XXXXXX")
  trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$folder"' EXIT
  start_xvfb "$folder" xvfb || { echo "wine-run.sh: Xvfb did not start" >&2; exit 1; }
fi
# Programs started at once would each try to make the prefix.
mkdir -p "$(dirname "$prefix")"
(
  flock 8
  if [ ! -f "$prefix/system.reg" ]; then
    "$wine" wineboot --init >/dev/null 2>&1 || true
    "$server" -w 2>/dev/null || true
  fi
) 8>"$prefix.lock"
if [ -n "$xvfb" ]; then
  "$wine" "$@"
else
  exec "$wine" "$@"
fi
