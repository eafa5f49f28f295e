#!/usr/bin/env bash
# chalkmere.exe under Wine and Xvfb, as a child and a parent would meet it:
#   e2e_test.sh <chalkmere.exe> <wine-run.sh> <wine prefix>
# The title (compared with the Linux picture outside its two lines of text, whose font is
# the system's), the first problem of the Linux stories' seed, a problem scored and stored in
# the registry, a level chosen, the exit box, two copies started together (one runs), and a
# second start that brings back the first when it is minimised, and when it is covered by
# another program's window and not answering (the second start ends at once all the same).
# The drill's screens are compared with pictures of tests/golden/windows/, whose text is in
# the system's font.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 <chalkmere.exe> <wine-run.sh> <wine prefix>" >&2
  exit 2
fi
E2E_EXE=$1 E2E_WINE_RUN=$2 E2E_PREFIX=$3
E2E_STORY=windows
E2E_OUT=${CHALKMERE_BUILD_DIR:-${TMPDIR:-/tmp}}
E2E_GOLDEN=$(cd "$(dirname "$0")/../golden" && pwd)
E2E_PIDS=() E2E_XVFB= E2E_WINDOW= E2E_SCALE= E2E_PID= E2E_FAKETIME_LIB=
# shellcheck source=tests/e2e/display.sh
source "$(dirname "$0")/../e2e/display.sh"
KEY='HKCU\Software\Brindlewick\Chalkmere'

windows_tools() {
  local tool lib
  for tool in Xvfb openbox xdotool import convert compare flock "$E2E_EXE" "$E2E_WINE_RUN"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (make test-deps installs it)"
  done
  for lib in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
    [ -f "$lib" ] && E2E_FAKETIME_LIB=$lib && return
  done
  fail "libfaketime is missing (make test-deps installs faketime)"
}

# The program seeds rand() from the local time, frozen here at the Linux stories' moment, so
# that it poses their drill. Only the program's process is fooled: Wine's server, started
# before, keeps the real time for its waits; stat() is left alone, or Wine would think the
# prefix out of date and set it up again.
e2e_launch() {
  WINE_RUN_DISPLAY=$DISPLAY LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME='2026-12-06 10:20:30' \
    DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 TZ=UTC \
    "$E2E_WINE_RUN" "$E2E_PREFIX" "$E2E_EXE" >>"$E2E_TMP/program.log" 2>&1 9>&- &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

# Wine's own processes for the prefix end with the story.
e2e_finish() { "$E2E_WINE_RUN" "$E2E_PREFIX" wineserver -k 2>/dev/null; }

reg() { "$E2E_WINE_RUN" "$E2E_PREFIX" reg "$@" 2>>"$E2E_TMP/reg.log" 9>&- | tr -d '\r'; }

# Waits until the program's key holds the value; prints it as `reg query` shows it.
wait_for_value() {
  local deadline=$(($(now_ms) + 10000)) shown
  until shown=$(reg query "$KEY" /v "$1") && grep -q "$2" <<<"$shown"; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the registry never held $1 matching '$2'"
    sleep 0.2
  done
  grep -i "^ *$1 " <<<"$shown"
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
    [ "$(now_ms)" -lt "$deadline" ] || fail "$name differs from $1.png in $differing pixels outside its text"
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

step "the title, as on Linux but for the version and years in the system's font"
e2e_start_program
expect_screen_outside app-title title "0,280 239,305"
e2e_publish title title-windows

step "a tap leads to the Linux stories' first problem; the four cards, tapped in turn, score it"
e2e_tap 120 160
e2e_expect_screen windows/e2e-game game 10000
e2e_publish game game-windows
for slot in 0 1 2 3; do e2e_tap_card "$slot"; done
e2e_expect_screen windows/e2e-game-played played 10000
# Three wrong taps before the right card leave no points and, at level 1, one problem answered
# but not at the first try (24 counters of 4 bytes).
wait_for_value score "REG_SZ *0$"
wait_for_value stat "REG_BINARY *0000000001000000\(00\)\{88\}$"

step "settings: level 3 is stored"
e2e_tap 32 37
e2e_expect_screen windows/e2e-settings settings 10000
e2e_publish settings settings-windows
e2e_tap $((30 + 30 * 2 + 5)) $((87 + 5))
wait_for_value level "REG_SZ *3$"

step "the exit box ends the program with status 0"
e2e_tap $((208 + 10)) $((20 + 10))
e2e_wait_exit "$E2E_PID" 10000
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit status $E2E_EXIT_CODE"

step "two copies started together: one runs, the other brings it forward and ends with status 0"
e2e_launch
pair=("$E2E_PID")
e2e_launch
pair+=("$E2E_PID")
deadline=$(($(now_ms) + 20000))
while kill -0 "${pair[0]}" 2>/dev/null && kill -0 "${pair[1]}" 2>/dev/null; do
  [ "$(now_ms)" -lt "$deadline" ] || fail "both copies are still running after 20 s"
  sleep 0.05
done
if kill -0 "${pair[0]}" 2>/dev/null; then first_pid=${pair[0]} E2E_PID=${pair[1]}; else
  first_pid=${pair[1]} E2E_PID=${pair[0]}
fi
e2e_wait_exit "$E2E_PID" 10000
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "the copy that lost ended with status $E2E_EXIT_CODE"
e2e_wait_for_windows 1 "$first_pid" "the copy that won"
first_window=$(e2e_find_windows)
E2E_WINDOW=$first_window
until [ "$(xdo getwindowfocus)" = "$first_window" ]; do
  [ "$(now_ms)" -lt "$deadline" ] || fail "the copy that won does not have the focus"
  sleep 0.1
done

step "a second start brings back the first, minimised, and ends with status 0"
xdo windowminimize --sync "$first_window" || fail "the window manager did not minimise it"
[ -z "$(e2e_find_windows)" ] || fail "the minimised window is still shown"
e2e_launch
e2e_wait_exit "$E2E_PID" 20000
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "the second start ended with status $E2E_EXIT_CODE"
kill -0 "$first_pid" 2>/dev/null || fail "the first instance ended"
deadline=$(($(now_ms) + 5000))
until [ "$(e2e_find_windows)" = "$first_window" ] && [ "$(xdo getwindowfocus)" = "$first_window" ]; do
  [ "$(now_ms)" -lt "$deadline" ] || fail "the first window was not shown with the focus again"
  sleep 0.1
done

step "not answering and then covered by another program, the first is raised by a second start that ends at once"
# Stopped first, so that it hears of the other window only once it goes on again.
kill -STOP "$first_pid"
eval "$(xdo getwindowgeometry --shell "$first_window")"
xmessage -geometry "${WIDTH}x${HEIGHT}+${X}+${Y}" cover >/dev/null 2>&1 9>&- &
E2E_PIDS+=("$!")
deadline=$(($(now_ms) + 5000))
until focus=$(xdo getwindowfocus) && [ -n "$focus" ] && [ "$focus" != "$first_window" ]; do
  [ "$(now_ms)" -lt "$deadline" ] || fail "the other program's window never took the focus"
  sleep 0.1
done
e2e_launch
e2e_wait_exit "$E2E_PID" 10000
kill -CONT "$first_pid"
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "the second start ended with status $E2E_EXIT_CODE"
deadline=$(($(now_ms) + 5000))
until [ "$(xdo getwindowfocus)" = "$first_window" ]; do
  [ "$(now_ms)" -lt "$deadline" ] || fail "the first window did not take the focus from the other program"
  sleep 0.1
done
