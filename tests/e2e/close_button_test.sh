#!/usr/bin/env bash
# Story: after a problem solved at the second try and a visit to the settings, the window's
# close button ends the program with code 0, keeping every value it wrote.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh" "$@"

e2e_start_drill

wrong_slot=$(((E2E_RIGHT_SLOT + 1) % 4))
step "a wrong card (slot $wrong_slot), then the right one (slot $E2E_RIGHT_SLOT)"
e2e_tap_card "$wrong_slot"
e2e_tap_card "$E2E_RIGHT_SLOT"
e2e_wait_for_value score=4

step "settings: level 5, automatic levelling off and on again, OK"
e2e_tap_to_switch 32 37
e2e_tap $((30 + 30 * 4 + 5)) $((87 + 5))
e2e_wait_for_value level=5
e2e_tap $((30 + 5)) $((43 + 5))
e2e_wait_for_value auto=1
e2e_tap $((30 + 5)) $((43 + 5))
e2e_wait_for_value auto=0
e2e_tap 65 275

step "the close button ends the program with code 0"
timeout 10 "$E2E_CLOSE" "$E2E_WINDOW" || fail "close_window failed"
e2e_wait_exit "$E2E_PID" 5000
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE"
[ -z "$(e2e_find_windows)" ] || fail "a Chalkmere window is still shown"
e2e_expect_registry score=4 level=5 auto=0 "stat=0/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"
