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
E2E_STORY=windows
# shellcheck source=tests/windows/windows_lib.sh
source "$(dirname "$0")/windows_lib.sh" "$@"

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
# but not at the first try.
e2e_wait_for_value score=0
e2e_wait_for_value "stat=0/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"

step "settings: level 3 is stored"
e2e_tap 32 37
e2e_expect_screen windows/e2e-settings settings 10000
e2e_publish settings settings-windows
e2e_tap $((30 + 30 * 2 + 5)) $((87 + 5))
e2e_wait_for_value level=3

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
