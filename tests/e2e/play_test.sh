#!/usr/bin/env bash
# Story: a tap on the title leads to the drill; tapping the four cards from left to right
# scores the problem exactly once, with the points left when the right card is reached.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh" "$@"

e2e_start_program
e2e_expect_screen title title

step "a double tap low on the title shows the first problem and answers nothing"
e2e_tap_card 1 2
e2e_expect_screen game game
e2e_expect_registry score=missing level=missing auto=missing stat=missing
e2e_publish game game

step "tap the four cards left to right (the right one is in slot $E2E_RIGHT_SLOT)"
for slot in 0 1 2 3; do e2e_tap_card "$slot"; done
e2e_expect_screen game-played played 5000

# Each wrong tap before the right card leaves a third of the points: 12, 4, 1, 0.
points=(12 4 1 0)
first_try=0
[ "$E2E_RIGHT_SLOT" -eq 0 ] && first_try=1
e2e_expect_registry "score=${points[$E2E_RIGHT_SLOT]}" level=missing auto=missing \
  "stat=$first_try/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"
