#!/usr/bin/env bash
# Story: a child without a mouse. Any key starts, and a second key right after the change of
# screen answers nothing; a wrong card by its digit, then the right one, scored while its key
# is down; the first Enter only shows the outline, Tab and Shift+Tab move it, Enter presses the
# settings button; there level 3 is chosen on Enter's down, automatic levelling switched off by
# Space, and Escape is OK; OK by Enter, pressed twice at once, returns once; Escape on the drill
# ends nothing, Enter on the exit box ends the game. tests/windows/keys_test.sh tells it under
# Wine, with its own start, registry and pictures of text in the system's font.
if [ -z "${E2E_WINDOWS:-}" ]; then
  # shellcheck source=tests/e2e/e2e_lib.sh
  source "$(dirname "$0")/e2e_lib.sh" "$@"
  e2e_dump() { "$E2E_DUMP" "$E2E_TMP/data/chalkmere/registry.db" children; }
  expect_title() { e2e_expect_screen app-title "$1"; }
  expect_text_screen() { e2e_expect_screen "$@"; }
fi

# Keys go to the window alone, as a child's keyboard would send them: one tap of each key named,
# or a key held down (down/up) while the story looks at what it did.
key() { xdo key --window "$E2E_WINDOW" "$@"; }
down() { xdo keydown --window "$E2E_WINDOW" "$1"; }
up() { xdo keyup --window "$E2E_WINDOW" "$1"; }
# The stored values: score, level, auto and stat as given; a household of one stores no more.
expect_values() {
  e2e_expect_registry "$@" picture=missing children=missing lastChild=missing \
    nextChild=missing Children=missing
}
stats() { echo "$1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"; }

step "Space starts; a 1 straight after it answers nothing on the new screen"
e2e_start_program
expect_title title
key space 1
expect_text_screen e2e-game game
expect_values score=missing level=missing auto=missing stat=missing

step "1 presses a wrong card; 4 the right one (slot $E2E_RIGHT_SLOT), scored while it is down"
key 1
down 4
e2e_wait_for_value score=4
up 4
expect_values score=4 level=missing auto=missing "stat=$(stats 0/1)"

step "the first Enter shows the outline; Tab, Shift+Tab move it; Enter opens the settings"
key Return
expect_text_screen e2e-keys-game game-focus
key Tab shift+Tab Return
expect_text_screen e2e-keys-settings settings

step "Tab to level 3, chosen on Enter's down; Shift+Tab to AUTO LEVEL, switched off by Space"
key Tab Tab Tab Tab Tab
down Return
e2e_wait_for_value level=3
up Return
key shift+Tab shift+Tab shift+Tab space
e2e_wait_for_value auto=1
expect_text_screen e2e-keys-settings-auto settings-auto

step "Escape is OK: the drill at level 3"
key Escape
expect_text_screen e2e-keys-level3 level3
expect_values score=4 level=3 auto=1 "stat=$(stats 0/1)"

step "Down and Right reach the cards; back to the settings, Shift+Tab to OK, Enter twice returns once"
key Down Right
expect_text_screen e2e-keys-card card
key Tab Tab Tab Return
expect_text_screen e2e-keys-settings-auto settings-again
key shift+Tab shift+Tab shift+Tab shift+Tab Return KP_Enter
expect_text_screen e2e-keys-level3 level3-again

step "Escape on the drill ends nothing; Enter on the exit box, reached by Tab, ends the game"
key Escape Tab
expect_text_screen e2e-keys-exit exit
kill -0 "$E2E_PID" 2>/dev/null || fail "a key ended the game"
expect_values score=4 level=3 auto=1 "stat=$(stats 0/1)"
key Return
e2e_wait_exit "$E2E_PID" 10000
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE"
