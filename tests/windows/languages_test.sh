#!/usr/bin/env bash
# The languages story of tests/e2e/languages_test.sh, told by chalkmere.exe under Wine: German
# by LANG=de_DE.UTF-8 through Windows' own resource loader (the host must have that locale;
# make test-deps makes it), Ukrainian by --language=uk, English for --language=xx-!!; the
# registry read back with reg query. The boards and the problem are the Linux pictures outside
# the text in the system's font; the German score caption, which Wine draws in another font
# than Linux, is in windows-languages-de-drill.png.
#   languages_test.sh <chalkmere.exe> <wine-run.sh> <wine prefix>
E2E_STORY=windows_languages
# shellcheck source=tests/windows/windows_lib.sh
source "$(dirname "$0")/windows_lib.sh" "$@"
locale -a | grep -qix 'de_DE.utf-*8' || fail "the host has no de_DE.UTF-8 locale (make test-deps makes it)"

E2E_WINDOWS=1
expect_title() { expect_screen_outside app-title "$1" "0,280 239,305"; }
# The drill's own picture where the system's font draws its score caption otherwise.
expect_drill() {
  local golden=$1
  [ -f "$E2E_GOLDEN/windows-$1.png" ] && golden=windows-$1
  [ "$1" = e2e-game ] && golden=windows/e2e-game
  e2e_expect_screen "$golden" "$2" 10000
}
# The percentages' digits, the only text on the board.
expect_settings() { expect_screen_outside "$1" "$2" "67,155 72,225" "137,155 142,225" "207,155 212,225"; }
# The score line, whose caption the drill's picture has shown.
expect_division() { expect_screen_outside "$1" "$2" "40,20 200,35"; }
forget_progress() { reg delete "$KEY" /f >/dev/null || true; }
# shellcheck source=tests/e2e/languages_test.sh
source "$(dirname "$0")/../e2e/languages_test.sh"
