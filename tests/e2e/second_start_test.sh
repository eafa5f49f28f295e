#!/usr/bin/env bash
# Story: starting the program again while it runs brings the running one forward; the second
# start shows no window of its own and ends with code 0 at once.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh" "$@"

step "without a display a start says why in one line, ends with status 1 and claims nothing"
status=0
said=$(env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$E2E_TMP/data" SDL_AUDIODRIVER=dummy \
  timeout 10 "$E2E_PROGRAM" 2>&1 9>&-) || status=$?
[ "$status" -eq 1 ] || fail "without a display the start ended with status $status"
[ "$(wc -l <<<"$said")" -eq 1 ] && grep -q 'display' <<<"$said" || fail "it said: $said"

e2e_start_program
e2e_expect_screen app-title title
first_window=$E2E_WINDOW
first_pid=$E2E_PID

step "another window takes the input focus"
xmessage -title other-program "another program" >>"$E2E_TMP/xmessage.log" 2>&1 9>&- &
E2E_PIDS+=("$!")
other=
deadline=$(($(now_ms) + 5000))
until [ -n "$other" ]; do
  [ "$(now_ms)" -lt "$deadline" ] || fail "xmessage showed no window"
  sleep 0.05
  other=$(xdo search --onlyvisible --name '^other-program$' 2>/dev/null | head -n 1 || true)
done
xdo windowfocus --sync "$other" || fail "xdotool could not focus the other window"
[ "$(xdo getwindowfocus)" = "$other" ] || fail "the other window did not get the focus"
# The first has lost the focus; after a second of nothing it waits for its next event with no
# timeout, and the request must still reach it. Only time passing makes it so.
sleep 1.5

step "a second start, its data folder written with a slash at the end, ends at once with code 0"
started=$(now_ms)
E2E_DATA_HOME="$E2E_TMP/data/" e2e_launch
e2e_wait_exit "$E2E_PID" 3000
elapsed=$(($(now_ms) - started))
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "the second start ended with code $E2E_EXIT_CODE"
echo "the second start took $elapsed ms"
windows=$(e2e_find_windows)
[ "$windows" = "$first_window" ] ||
  fail "visible Chalkmere windows are now: $(echo "$windows" | tr '\n' ' ')"
kill -0 "$first_pid" 2>/dev/null || fail "the first instance ended"

step "the first window has the input focus"
deadline=$(($(now_ms) + 3000))
until [ "$(xdo getwindowfocus)" = "$first_window" ]; do
  [ "$(now_ms)" -lt "$deadline" ] ||
    fail "the focus stayed on window $(xdo getwindowfocus), not $first_window"
  sleep 0.05
done
