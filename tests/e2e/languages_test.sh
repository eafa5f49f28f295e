#!/usr/bin/env bash
# Story: the game speaks the language its machine or its command line names, and stores the
# same progress in every one. All three starts run under LANG=de_DE.UTF-8: with no option it
# plays in German (the drill's "Punkte", the German settings board, level 10's problem written
# with ":"); --language=uk wins over LANG (Ukrainian, "Бали", ":"); --language=xx-!! is no
# code and plays in English, as the older stories' pictures show, the problem written "÷". Each
# answers its first division problem at the first try and exits; the stored values are those
# of the English game. tests/windows/languages_test.sh tells it under Wine.
# Pictures: languages-{de,uk}-{drill,settings,division}.png and languages-en-division.png;
# the browser's story compares with the same files.
if [ -z "${E2E_WINDOWS:-}" ]; then
  # shellcheck source=tests/e2e/e2e_lib.sh
  source "$(dirname "$0")/e2e_lib.sh" "$@"
  expect_title() { e2e_expect_screen app-title "$1"; }
  expect_drill() { e2e_expect_screen "$@"; }
  expect_settings() { e2e_expect_screen "$@"; }
  expect_division() { e2e_expect_screen "$@"; }
  forget_progress() { rm -rf "$E2E_TMP/data"; }
fi

# Under the frozen clock level 10's first problem is 3 : 1, its answer on the third card.
DIVISION_RIGHT_SLOT=2
E2E_LANG=de_DE.UTF-8

# play <tag> <drill picture> <settings picture> [option]: from the title to the drill, the
# settings, level 10 and its division problem, answered right; then the exit box. What the
# store holds goes to STORED, and the next start finds a fresh store.
play() {
  E2E_ARGS=("${@:4}")
  e2e_start_program
  expect_title "title-$1"
  e2e_tap_to_switch 120 160
  expect_drill "$2" "drill-$1"
  e2e_tap_to_switch 32 37
  expect_settings "$3" "settings-$1"
  e2e_tap $((30 + 30 * 3 + 5)) $((87 + 22 + 5))
  e2e_wait_for_value level=10
  e2e_tap_to_switch 65 275
  expect_division "languages-$1-division" "division-$1"
  e2e_tap_card "$DIVISION_RIGHT_SLOT"
  e2e_wait_for_value "stat=0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 1/1 0/0 0/0"
  e2e_tap $((208 + 10)) $((20 + 10))
  e2e_wait_exit "$E2E_PID" 10000
  STORED=$(e2e_dump)
  forget_progress
}

step "--language=xx-!! is no code: English, whatever LANG says; the division sign is ÷"
play en e2e-game e2e-settings --language=xx-!!
english=$STORED

step "LANG=de_DE.UTF-8 alone: German; the problem written 3 : 1, the store as in English"
play de languages-de-drill languages-de-settings
[ "$STORED" = "$english" ] || fail "German stored"$'\n'"$STORED"$'\n'"English stored"$'\n'"$english"

step "--language=uk wins over LANG: Ukrainian, \"Бали\", 3 : 1, the store as in English"
play uk languages-uk-drill languages-uk-settings --language=uk
[ "$STORED" = "$english" ] || fail "Ukrainian stored"$'\n'"$STORED"$'\n'"English stored"$'\n'"$english"
