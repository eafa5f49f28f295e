#!/usr/bin/env bash
# Story: a child plays a problem, changes the settings and leaves by the exit box; the
# program ends with code 0 and every value it wrote is in the registry. Its folder is then free
# for a new game; a game on another folder runs beside it, and a start on its own raises it.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh" "$@"

e2e_start_drill

step "the right card (slot $E2E_RIGHT_SLOT) scores the problem at the first try"
e2e_tap_card "$E2E_RIGHT_SLOT"
e2e_wait_for_value score=12

step "settings: level 2, automatic levelling off"
e2e_tap_to_switch 32 37
e2e_tap $((30 + 30 + 5)) $((87 + 5))
e2e_wait_for_value level=2
e2e_tap $((30 + 5)) $((43 + 5))
e2e_wait_for_value auto=1

step "the exit box ends the program with code 0"
e2e_tap $((208 + 10)) $((20 + 10))
e2e_wait_exit "$E2E_PID" 5000
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE"
e2e_expect_registry score=12 level=2 auto=1 "stat=1/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"

step "a start after the exit box claims the data folder afresh and shows the title"
e2e_start_program
e2e_expect_screen app-title title-again
first_window=$E2E_WINDOW first_pid=$E2E_PID

step "a start on another data folder is a game of its own, beside the first"
E2E_DATA_HOME="$E2E_TMP/other-data" e2e_launch
other_pid=$E2E_PID
e2e_wait_for_windows 2 "$other_pid" "the start on another data folder"

step "a start on the first data folder again raises its game and ends with code 0"
e2e_launch
e2e_wait_exit "$E2E_PID" 3000
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "the third start ended with code $E2E_EXIT_CODE"
kill -0 "$first_pid" 2>/dev/null && kill -0 "$other_pid" 2>/dev/null || fail "a running game ended"
[ "$(e2e_find_windows | wc -l)" -eq 2 ] || fail "visible windows: $(e2e_find_windows | tr '\n' ' ')"
e2e_find_windows | grep -qx "$first_window" || fail "the first window is gone"
