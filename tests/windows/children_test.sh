#!/usr/bin/env bash
# The children's story of tests/e2e/children_test.sh, told by chalkmere.exe under Wine over the
# real registry (`reg query` reads it back), its screens with text compared with the pictures of
# tests/golden/windows/, the children's pages, which have none, with the Linux pictures:
#   children_test.sh <chalkmere.exe> <wine-run.sh> <wine prefix>
E2E_STORY=windows_children
# shellcheck source=tests/windows/windows_lib.sh
source "$(dirname "$0")/windows_lib.sh" "$@"

E2E_WINDOWS=1
expect_title() { expect_screen_outside app-title "$1" "0,280 239,305"; }
expect_text_screen() { e2e_expect_screen "windows/$1" "$2" 10000; }
# shellcheck source=tests/e2e/children_test.sh
source "$(dirname "$0")/../e2e/children_test.sh"
