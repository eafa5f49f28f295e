#!/usr/bin/env bash
# Soak: taps the real program thousands of times through every screen, as a child who never
# stops would, with the game's clock running four times fast:
#   soak.sh <chalkmere> <registry_dump> <close_window> [taps]
# Each problem gets its four cards tapped left to right; every tenth a visit to the settings
# (the automatic-levelling box twice, a level box, OK); every hundredth a RESET, held. After each
# problem the stored score and statistics must have moved exactly as the tapped cards say.
# Every tenth of the run it prints the program's memory, open descriptors and the registry's
# file sizes; at the end it fails when any of them grew past its bound or a stored value was
# lost.
SOAK_TAPS=${4:-10000}
set -- "${@:1:3}"
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/../e2e/e2e_lib.sh" "$@"

# A second of the game's time passes in a quarter of one here: the check mark, the redraw
# throttle and the 250 ms after a change of screen all run four times as fast.
GAME_SECOND=0.25
start_fast() {
  E2E_FAKETIME="@$E2E_FAKE_TIME x4" E2E_REAL_MONOTONIC=0 e2e_start_program
}

taps=0
# Taps the display points "x,y x,y …" in one xdotool run, without xdotool's 100 ms pause
# after each click: the taps arrive together, as fast as fingers can.
tap() {
  local point command=()
  for point in "$@"; do
    command+=(mousemove --window "$E2E_WINDOW" $((${point%,*} * E2E_SCALE + E2E_SCALE / 2))
      $((${point#*,} * E2E_SCALE + E2E_SCALE / 2)) click --delay 0 1)
    taps=$((taps + 1))
  done
  xdo "${command[@]}"
  report
}
# Stored numbers: score, then correct and attempts summed over the levels.
stored() {
  e2e_dump | awk -F= '
    $1 == "score" { score = ($2 == "missing") ? 0 : $2 }
    $1 == "stat" && $2 != "missing" {
      n = split($2, pairs, " ")
      for (i = 1; i <= n; i++) { split(pairs[i], cr, "/"); correct += cr[1]; attempts += cr[2] }
    }
    END { print score + 0, correct + 0, attempts + 0 }'
}
registry_bytes() { du -cb "$E2E_TMP"/data/chalkmere/registry.db* 2>/dev/null | tail -n 1 | cut -f1; }
wal_bytes() { stat -c %s "$E2E_TMP/data/chalkmere/registry.db-wal" 2>/dev/null || echo 0; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$E2E_PID/status"; }
fds() { find "/proc/$E2E_PID/fd" -mindepth 1 -maxdepth 1 | wc -l; }

# Every tenth of the run (every 1,000 taps of 10,000); the first report is the baseline.
REPORT_EVERY=$(((SOAK_TAPS + 9) / 10))
FIRST_RSS= FIRST_FDS= MAX_FILES=0 next_report=$REPORT_EVERY
report() {
  [ "$taps" -ge "$next_report" ] || return 0
  next_report=$((next_report + REPORT_EVERY))
  local rss files descriptors
  rss=$(rss_kb) descriptors=$(fds) files=$(registry_bytes)
  [ -n "$FIRST_RSS" ] || { FIRST_RSS=$rss; FIRST_FDS=$descriptors; }
  [ "$files" -gt "$MAX_FILES" ] && MAX_FILES=$files
  printf '%6d taps  RSS %6d kB  descriptors %3d  registry files %7d bytes (log %6d)\n' \
    "$taps" "$rss" "$descriptors" "$files" "$(wal_bytes)"
}

start_fast
step "$SOAK_TAPS taps"
sleep "$GAME_SECOND"
tap 120,160
sleep "$GAME_SECOND"
read -r score correct attempts < <(stored)
problems=0
points=(12 4 1 0)
while [ "$taps" -lt "$SOAK_TAPS" ]; do
  problems=$((problems + 1))
  # The four cards left to right, all within the check mark's quarter of a second: the cards
  # after the right one only click.
  tap 43,293 93,293 143,293 193,293
  # xdotool is done once the taps are sent; the game may still be handling them.
  deadline=$(($(now_ms) + 5000))
  until read -r new_score new_correct new_attempts < <(stored) && [ "$new_attempts" -gt "$attempts" ]; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "problem $problems was not recorded"
    sleep 0.02
  done
  gained=$((new_score - score))
  first_try=$((new_correct - correct))
  [ "$new_attempts" -eq $((attempts + 1)) ] || fail "problem $problems counted $((new_attempts - attempts)) times"
  case " ${points[*]} " in *" $gained "*) ;; *) [ "$new_score" -eq 999999 ] || fail "problem $problems paid $gained" ;; esac
  [ "$first_try" -eq $([ "$gained" -eq 12 ] && echo 1 || echo 0) ] ||
    fail "problem $problems paid $gained but counted $first_try first tries"
  score=$new_score correct=$new_correct attempts=$new_attempts
  # The check mark plays four frames of 250 ms, then the next problem is posed.
  sleep "$(awk -v s="$GAME_SECOND" 'BEGIN { print 1.3 * s }')"

  if [ $((problems % 10)) -eq 0 ]; then
    tap 32,37                                          # settings
    sleep "$GAME_SECOND"
    level=$((problems / 10 % 12))
    # Automatic levelling off and on, and a level box.
    tap 35,48 35,48 $((30 + 30 * (level % 6) + 5)),$((87 + 22 * (level / 6) + 5))
    if [ $((problems % 100)) -eq 0 ]; then
      # RESET, held until the record is wiped (two of the game's seconds)
      xdo mousemove --window "$E2E_WINDOW" $((150 * E2E_SCALE + E2E_SCALE / 2)) \
        $((275 * E2E_SCALE + E2E_SCALE / 2)) mousedown 1
      taps=$((taps + 1))
      deadline=$(($(now_ms) + 5000))
      until read -r score correct attempts < <(stored) && [ "$score $correct $attempts" = "0 0 0" ]; do
        [ "$(now_ms)" -lt "$deadline" ] || fail "RESET held left $score $correct/$attempts"
        sleep 0.05
      done
      xdo mouseup 1
    fi
    tap 65,275                                         # OK
    sleep "$GAME_SECOND"
  fi
done

step "after $taps taps: nothing grew, nothing was lost"
kill -0 "$E2E_PID" 2>/dev/null || fail "the program ended"
rss=$(rss_kb) descriptors=$(fds)
echo "RSS ${FIRST_RSS} kB → ${rss} kB, descriptors ${FIRST_FDS} → ${descriptors}," \
  "registry files at most ${MAX_FILES} bytes, ${problems} problems"
[ "$rss" -le $((FIRST_RSS + 2048)) ] || fail "memory grew by $((rss - FIRST_RSS)) kB"
[ "$descriptors" -le "$FIRST_FDS" ] || fail "descriptors grew from $FIRST_FDS to $descriptors"
[ "$MAX_FILES" -lt $((1 << 20)) ] || fail "the registry's files reached $MAX_FILES bytes"
{
  kill -KILL "$E2E_PID"
  e2e_wait_exit "$E2E_PID"
} 2>/dev/null
read -r end_score end_correct end_attempts < <(stored)
[ "$end_score $end_correct $end_attempts" = "$score $correct $attempts" ] ||
  fail "after a kill the registry holds $end_score $end_correct/$end_attempts, not $score $correct/$attempts"
echo "soak passed"
