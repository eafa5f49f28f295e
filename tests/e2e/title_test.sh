#!/usr/bin/env bash
# Story: the program starts on the title screen and plays its start-up tune.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh" "$@"

step "start: the title shows"
e2e_start_program
e2e_expect_screen title title
e2e_publish title title

step "the start-up tune (1.72 s) is heard"
# 44100 frames of 4 bytes a second; the disk driver writes in real time.
tune_bytes=$((44100 * 4 * 172 / 100))
deadline=$(($(now_ms) + 5000))
until [ "$(stat -c %s "$E2E_TMP/audio0.raw" 2>/dev/null || echo 0)" -ge "$tune_bytes" ]; do
  [ "$(now_ms)" -lt "$deadline" ] || fail "less than 1.72 s of sound was written in 5 s"
  sleep 0.1
done
# RMS amplitude of each quarter of the tune: the tune fills it, not a click at its start.
for start in 0.0 0.4 0.8 1.2; do
  rms=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$E2E_TMP/audio0.raw" -n trim "$start" 0.4 stat 2>&1 |
    sed -n 's/^RMS *amplitude: *//p')
  awk -v rms="$rms" 'BEGIN { exit !(rms > 0.02) }' ||
    fail "the sound is silent from ${start} s (RMS amplitude ${rms:-none})"
done
