#!/usr/bin/env bash
# Story: a child plays a problem, changes the settings and leaves by the exit box; the
# program ends with code 0 and every value it wrote is in the registry.
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
