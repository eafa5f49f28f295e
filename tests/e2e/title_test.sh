#!/usr/bin/env bash
# Story: the program starts on the title screen and plays its start-up tune.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh" "$@"

step "start: the title shows"
e2e_start_program
e2e_expect_screen app-title title
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

step "without a font the game still starts, and says why the numbers are missing"
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$E2E_TMP/no-fonts.conf"
FONTCONFIG_FILE="$E2E_TMP/no-fonts.conf" E2E_DATA_HOME="$E2E_TMP/no-fonts" e2e_launch
deadline=$(($(now_ms) + 5000))
until grep -q 'no font to write the numbers with' "$E2E_TMP/program.log"; do
  kill -0 "$E2E_PID" 2>/dev/null || fail "the program ended without a font"
  [ "$(now_ms)" -lt "$deadline" ] || fail "nothing was said about the missing font"
  sleep 0.05
done
[ "$(grep -c 'font' "$E2E_TMP/program.log")" -eq 1 ] || fail "the font was reported more than once"
