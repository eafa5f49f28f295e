# shellcheck shell=bash disable=SC2034  # sets variables for the stories that source it
# Shared by the stories of chalkmere.exe under Wine and Xvfb, which set E2E_STORY and source it
# with their arguments:
#   <story>.sh <chalkmere.exe> <wine-run.sh> <wine prefix>
# Each gets its own Xvfb with a window manager, the prefix's registry without the program's key,
# and Wine's server kept running for the whole story; the program's clock is frozen at the Linux
# stories' moment, so that it poses their drill.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 <chalkmere.exe> <wine-run.sh> <wine prefix>" >&2
  exit 2
fi
E2E_EXE=$1 E2E_WINE_RUN=$2 E2E_PREFIX=$3
E2E_OUT=${CHALKMERE_BUILD_DIR:-${TMPDIR:-/tmp}}
E2E_GOLDEN=$(cd "$(dirname "${BASH_SOURCE[0]}")/../golden" && pwd)
E2E_PIDS=() E2E_XVFB='' E2E_WINDOW='' E2E_SCALE='' E2E_PID='' E2E_FAKETIME_LIB='' E2E_ARGS=()
E2E_RIGHT_SLOT=3
# shellcheck source=tests/e2e/display.sh
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/display.sh"
KEY='HKCU\Software\Brindlewick\Chalkmere'

windows_tools() {
  e2e_require Xvfb openbox xdotool import convert compare flock "$E2E_EXE" "$E2E_WINE_RUN"
}

# The program seeds rand() from the local time, frozen here. Only the program's process is
# fooled: Wine's server, started before, keeps the real time for its waits; stat() is left
# alone, or Wine would think the prefix out of date and set it up again. Wine takes the user's
# language from LANG: English whatever the machine's, unless the story sets E2E_LANG or E2E_ARGS.
e2e_launch() {
  env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG="${E2E_LANG:-C.UTF-8}" \
    WINE_RUN_DISPLAY="$DISPLAY" LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME='2026-12-06 10:20:30' \
    DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 TZ=UTC \
    "$E2E_WINE_RUN" "$E2E_PREFIX" "$E2E_EXE" "${E2E_ARGS[@]}" >>"$E2E_TMP/program.log" 2>&1 9>&- &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

# Wine's own processes for the prefix end with the story.
e2e_finish() { "$E2E_WINE_RUN" "$E2E_PREFIX" wineserver -k 2>/dev/null; }

reg() {
  WINE_RUN_DISPLAY=$DISPLAY "$E2E_WINE_RUN" "$E2E_PREFIX" reg "$@" 2>>"$E2E_TMP/reg.log" 9>&- |
    tr -d '\r'
}

# The program's key as the Linux stories' registry_dump prints it with "children": the first
# child's values, the household's, Children=<its subkeys> (or missing) and each subkey's values.
e2e_dump() {
  { reg query "$KEY" /s || true; } | awk '
    BEGIN { for (i = 0; i < 256; i++) byte[sprintf("%02x", i)] = i }
    function number(hex, at,   i, n) {  # the little-endian 32-bit number at byte `at`
      for (i = 3; i >= 0; i--) n = n * 256 + byte[tolower(substr(hex, 2 * (at + i) + 1, 2))]
      return n
    }
    function stat(hex,   level, text) {
      if (length(hex) != 192) return "size" length(hex) / 2
      for (level = 0; level < 12; level++) {
        text = text (level ? " " : "") number(hex, 8 * level) "/" number(hex, 8 * level + 4)
      }
      return text
    }
    function show(key, names, prefix,   i, n, list) {
      n = split(names, list, " ")
      for (i = 1; i <= n; i++) {
        print prefix list[i] "=" ((key, list[i]) in value ? value[key, list[i]] : "missing")
      }
    }
    /^HKEY/ {
      key = substr($0, length("HKEY_CURRENT_USER\\Software\\Brindlewick\\Chalkmere") + 1)
      if (key == "\\Children") children = "present"
      else if (key ~ /^\\Children\\/) listed = listed (listed == "" ? "" : ",") substr(key, 11)
      next
    }
    NF >= 2 { value[key, $1] = $2 == "REG_BINARY" ? stat($3) : $2 == "REG_SZ" ? $3 : "type" $2 }
    END {
      show("", "score level auto stat picture children lastChild nextChild", "")
      print "Children=" (children == "" ? "missing" : listed)
      n = split(listed, numbers, ",")
      for (i = 1; i <= n; i++) {
        show("\\Children\\" numbers[i], "score level auto stat picture", "Children\\" numbers[i] "\\")
      }
    }'
}

# Waits until the dump holds the line (e.g. score=12).
e2e_wait_for_value() {
  local deadline=$(($(now_ms) + 10000))
  until e2e_dump | grep -qxF "$1"; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the registry never held $1; it holds: $(e2e_dump | tr '\n' ' ')"
    sleep 0.2
  done
}

# The dump must come to be exactly these lines. Asked again for a few seconds: under a loaded
# machine Wine's reg can come back empty-handed once while the game is busy writing.
e2e_expect_registry() {
  local expected actual deadline=$(($(now_ms) + 5000))
  expected=$(printf '%s\n' "$@")
  until actual=$(e2e_dump) && [ "$actual" = "$expected" ]; do
    [ "$(now_ms)" -lt "$deadline" ] ||
      fail "registry holds"$'\n'"$actual"$'\n'"expected"$'\n'"$expected"
    sleep 0.3
  done
}

# Waits until the window shows the picture outside the given rectangles (x0,y0,x1,y1).
expect_screen_outside() {
  local golden=$E2E_GOLDEN/$1.png name=$2 deadline=$(($(now_ms) + 10000)) differing=none
  local masks=()
  shift 2
  for box in "$@"; do masks+=(-draw "rectangle $box"); done
  convert "$golden" -fill black "${masks[@]}" "$E2E_TMP/golden-masked.png"
  until e2e_shot "$name" && convert "$E2E_TMP/$name-small.png" -fill black "${masks[@]}" \
    "$E2E_TMP/$name-masked.png" && differing=$(e2e_differing_pixels \
    "$E2E_TMP/$name-masked.png" "$E2E_TMP/golden-masked.png") && [ "$differing" = 0 ]; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "$name differs from ${golden##*/} in $differing pixels outside its text"
    sleep 0.1
  done
}

e2e_begin windows_tools
# A desktop's window manager, which minimises and activates windows for Wine.
openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 9>&- &
E2E_PIDS+=("$!")
# The first start in a fresh prefix sets it up, which takes a while. Then Wine's server stays
# for the whole story, so each start is quick and none starts it with the frozen clock.
if [ ! -f "$E2E_PREFIX/system.reg" ]; then
  WINE_RUN_DISPLAY=$DISPLAY "$E2E_WINE_RUN" "$E2E_PREFIX" cmd /c exit 0 >/dev/null 2>&1 9>&- || true
  "$E2E_WINE_RUN" "$E2E_PREFIX" wineserver -w 9>&-
fi
"$E2E_WINE_RUN" "$E2E_PREFIX" wineserver -p 9>&- || true  # one left running serves as well
reg delete "$KEY" /f >/dev/null || true
