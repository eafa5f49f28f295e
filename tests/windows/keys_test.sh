#!/usr/bin/env bash
# The keys-only story of tests/e2e/keys_test.sh, told by chalkmere.exe under Wine over the real
# registry, the keys sent to the Wine window, its screens compared with the pictures of
# tests/golden/windows/ (their text is in the system's font):
#   keys_test.sh <chalkmere.exe> <wine-run.sh> <wine prefix>
E2E_STORY=windows_keys
# shellcheck source=tests/windows/windows_lib.sh
source "$(dirname "$0")/windows_lib.sh" "$@"

E2E_WINDOWS=1
expect_title() { expect_screen_outside app-title "$1" "0,280 239,305"; }
expect_text_screen() { e2e_expect_screen "windows/$1" "$2" 10000; }
# shellcheck source=tests/e2e/keys_test.sh
source "$(dirname "$0")/../e2e/keys_test.sh"
