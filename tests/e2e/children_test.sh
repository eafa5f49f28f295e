#!/usr/bin/env bash
# Story: a household of one stores nothing new; from the settings the parent adds a fox and a
# frog; the owl (the first child), the fox and the frog each play at a level of their own, and
# after the game is closed and started again the frog, who played last, is ringed and each
# child finds their own progress; the fox's badge held two seconds asks, and the cross removes
# the fox's key and nobody else's values. tests/windows/children_test.sh tells it under Wine,
# with its own start, registry and pictures of text in the system's font.
if [ -z "${E2E_WINDOWS:-}" ]; then
  # shellcheck source=tests/e2e/e2e_lib.sh
  source "$(dirname "$0")/e2e_lib.sh" "$@"
  e2e_dump() { "$E2E_DUMP" "$E2E_TMP/data/chalkmere/registry.db" children; }
  expect_title() { e2e_expect_screen app-title "$1"; }
  expect_text_screen() { e2e_expect_screen "$@"; }
fi

# The twelve levels' records (right at the first try/done), 0/0 but at level $1: $2.
stats() {
  local level records=()
  for level in $(seq 12); do
    if [ "$level" = "${1:-0}" ]; then records+=("$2"); else records+=(0/0); fi
  done
  echo "${records[*]}"
}
# A further child's values as the dump shows them: child <n> <score> <level> <stats> <picture>.
child() {
  local value
  for value in "score=$2" "level=$3" auto=0 "stat=$4" "picture=$5"; do
    printf 'Children\\%s\\%s\n' "$1" "$value"
  done
}
# On WHO IS PLAYING?: the child at (x, y) plays, and their settings are compared with a picture.
settings_of() {
  e2e_tap_to_switch "$1" "$2"
  e2e_tap_to_switch 32 37
  expect_text_screen "e2e-children-settings-$3" "settings-$3"
}
# From the settings: OK, then the picture in the drill's top bar asks who is playing.
ok_then_who() {
  e2e_tap_to_switch 65 275
  e2e_tap_to_switch 67 38
}

step "one child: the title leads straight to the drill, and nothing new is stored"
e2e_start_program
expect_title title
e2e_tap 120 160
expect_text_screen e2e-game game
e2e_expect_registry score=missing level=missing auto=missing stat=missing picture=missing \
  children=missing lastChild=missing nextChild=missing Children=missing

step "settings, heading: the free cell, the fox; the next free cell, the frog"
e2e_tap_to_switch 32 37
e2e_tap_to_switch 120 20
e2e_tap_to_switch 170 100
e2e_expect_screen e2e-children-new new
e2e_tap_to_switch 120 100
e2e_tap_to_switch 70 180
e2e_tap_to_switch 45 180
e2e_expect_screen e2e-children-three three
e2e_expect_registry score=missing level=missing auto=missing stat=missing picture=1 \
  children=1,2,3 lastChild=missing nextChild=4 Children=2,3 "$(child 2 0 1 "$(stats)" 2)" \
  "$(child 3 0 1 "$(stats)" 4)"
e2e_tap_to_switch 32 37
e2e_tap_to_switch 65 275
expect_text_screen e2e-children-game-owl game-owl

step "the owl answers right at level 1, the fox at level 3, the frog wrong then right at level 5"
e2e_tap_card "$E2E_RIGHT_SLOT"
e2e_wait_for_value score=12
e2e_tap_to_switch 67 38
e2e_tap_to_switch 170 100
e2e_tap_to_switch 32 37
e2e_tap 95 92
e2e_wait_for_value 'Children\2\level=3'
e2e_tap_to_switch 65 275
e2e_tap_card 0  # 2 - 1
e2e_wait_for_value 'Children\2\score=12'
e2e_tap_to_switch 67 38
e2e_tap_to_switch 70 180
e2e_tap_to_switch 32 37
e2e_tap 155 92
e2e_wait_for_value 'Children\3\level=5'
e2e_tap_to_switch 65 275
e2e_tap_card 1  # 40 + 29: 86, then 69
e2e_tap_card 0
e2e_wait_for_value 'Children\3\score=4'
owl=$(printf '%s\n' score=12 level=missing auto=missing "stat=$(stats 1 1/1)")
frog=$(child 3 4 5 "$(stats 5 0/1)" 4)
e2e_expect_registry "$owl" picture=1 children=1,2,3 lastChild=3 nextChild=4 Children=2,3 \
  "$(child 2 12 3 "$(stats 3 1/1)" 2)" "$frog"

step "closed by the exit box and started again: the frog is ringed; each finds their own progress"
e2e_tap 218 30
e2e_wait_exit "$E2E_PID" 10000
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE"
e2e_start_program
expect_title title-again
e2e_tap 120 160
e2e_expect_screen e2e-children-who who
settings_of 70 180 frog
ok_then_who
settings_of 170 100 fox
ok_then_who
settings_of 70 100 owl

step "as the owl: the fox's badge held two seconds asks; the cross removes the fox's key alone"
e2e_tap_to_switch 120 20
e2e_expect_screen e2e-children-three three-again
pressed=$(now_ms)
xdo mousemove --window "$E2E_WINDOW" $((190 * E2E_SCALE + E2E_SCALE / 2)) \
  $((72 * E2E_SCALE + E2E_SCALE / 2)) mousedown 1
e2e_expect_screen e2e-children-remove remove
[ $(($(now_ms) - pressed)) -ge 1900 ] || fail "the badge asked after $(($(now_ms) - pressed)) ms"
xdo mouseup 1
e2e_tap_to_switch 120 240
e2e_expect_screen e2e-children-removed removed
e2e_expect_registry "$owl" picture=1 children=1,3 lastChild=1 nextChild=4 Children=3 "$frog"
