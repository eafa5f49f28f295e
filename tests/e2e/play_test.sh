#!/usr/bin/env bash
# Story: a double tap on the title leads to the drill and answers nothing; tapping the four
# cards from left to right scores the problem once, with the points left when the right card
# is reached; the settings choose level 3, and a double tap on OK returns to a problem at that
# level without answering it; RESET lifted after a second keeps the record, and held, a ring
# of chalk closing round it, wipes it after two seconds.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh" "$@"

e2e_start_program
e2e_expect_screen app-title title

step "a double tap low on the title shows the first problem and answers nothing"
e2e_tap_card 1 2
e2e_expect_screen e2e-game game
e2e_expect_registry score=missing level=missing auto=missing stat=missing
e2e_publish game game

step "tap the four cards left to right (the right one is in slot $E2E_RIGHT_SLOT)"
for slot in 0 1 2 3; do e2e_tap_card "$slot"; done
e2e_expect_screen e2e-game-played played 5000
# Three wrong taps before the right card leave 12 / 3 / 3 / 3 = 0 points and no first try.
e2e_expect_registry score=0 level=missing auto=missing \
  "stat=0/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"

step "the settings button shows the settings; the box of level 3 stores the level"
e2e_tap 32 37
e2e_expect_screen e2e-settings settings
e2e_publish settings settings
e2e_tap $((30 + 30 * 2 + 5)) $((87 + 5))
e2e_wait_for_value level=3

step "a double tap on OK returns to a new problem at level 3 and answers nothing"
e2e_tap 65 275 2
e2e_expect_screen e2e-game-level3 level3
e2e_expect_registry score=0 level=3 auto=missing \
  "stat=0/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"

step "RESET lifted after a second keeps the record; held two seconds it wipes it"
e2e_tap_to_switch 32 37
press_reset() {
  xdo mousemove --window "$E2E_WINDOW" $((150 * E2E_SCALE + E2E_SCALE / 2)) \
    $((275 * E2E_SCALE + E2E_SCALE / 2)) mousedown 1
}
press_reset
sleep 1  # a press shorter than the hold: nothing can be waited for
xdo mouseup 1
e2e_expect_registry score=0 level=3 auto=missing \
  "stat=0/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"
pressed=$(now_ms)
press_reset
e2e_wait_for_value "stat=0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"
[ $(($(now_ms) - pressed)) -ge 1900 ] || fail "RESET wiped the record after $(($(now_ms) - pressed)) ms"
e2e_expect_screen e2e-settings-reset-held reset-held
xdo mouseup 1
e2e_expect_screen e2e-settings-reset settings-reset
