#!/usr/bin/env bash
# Story: the program is killed (SIGKILL) while the check mark plays; every value written up to
# then survives, and the registry opens as it is, without being set aside as damaged.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh" "$@"

e2e_start_drill

step "the right card scores the problem; the program is killed at once"
e2e_tap_card "$E2E_RIGHT_SLOT"
e2e_wait_for_value score=12
kill -KILL "$E2E_PID"
e2e_wait_exit "$E2E_PID" 5000
[ "$E2E_EXIT_CODE" -eq $((128 + 9)) ] || fail "the program was not killed (code $E2E_EXIT_CODE)"

step "the values are all there and the database was not set aside"
e2e_expect_registry score=12 level=missing auto=missing \
  "stat=1/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"
damaged=$(find "$E2E_TMP/data/chalkmere" -name 'registry.db.damaged-*')
[ -z "$damaged" ] || fail "the database was set aside: $damaged"

step "the program starts again on the same registry"
e2e_start_program
e2e_expect_screen app-title title
e2e_expect_registry score=12 level=missing auto=missing \
  "stat=1/1 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0 0/0"
[ -z "$(find "$E2E_TMP/data/chalkmere" -name 'registry.db.damaged-*')" ] ||
  fail "the restarted program set the database aside"
