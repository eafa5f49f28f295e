#!/usr/bin/env bash
# Makes docs/languages/contact-sheet.png: the Linux build under Xvfb in every language, a row
# each, its title, a problem of each operation (levels 1, 3, 7 and 10) and the settings screen,
# at the display's own size, each labelled with its language and screen.
#   docs/languages/make-sheet.sh build/app/chalkmere build/tests/e2e/registry_dump \
#     build/tests/e2e/close_window
# It drives the program as the end-to-end stories do, with their frozen clock, so the sheet
# changes only when a picture does.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/../../tests/e2e/e2e_lib.sh" "$@"

LANGUAGES=(en de fr es it nl pl pt-BR uk)
SHOTS=()

# A screenshot once two in a row agree (the screen has settled), kept as <tag>-<name>.png.
settled() {
  local last=$E2E_TMP/last.png
  e2e_shot "$1-$2"
  for _ in $(seq 50); do
    cp "$E2E_TMP/$1-$2-small.png" "$last"
    sleep 0.2
    e2e_shot "$1-$2"
    [ "$(e2e_differing_pixels "$last" "$E2E_TMP/$1-$2-small.png")" = 0 ] && break
  done
  SHOTS+=(-label "$1  $2" "$E2E_TMP/$1-$2-small.png")
}

# From the drill: the settings, level <level> chosen, and back to its first problem.
level() {
  e2e_tap_to_switch 32 37
  e2e_tap $((35 + 30 * (($2 - 1) % 6))) $((92 + 22 * (($2 - 1) / 6)))
  e2e_wait_for_value "level=$2"
  e2e_tap_to_switch 65 275
  settled "$1" "$3"
}

for tag in "${LANGUAGES[@]}"; do
  step "$tag"
  E2E_ARGS=("--language=$tag")
  e2e_start_program
  settled "$tag" title
  e2e_tap_to_switch 120 160
  settled "$tag" plus
  e2e_tap_to_switch 32 37
  settled "$tag" settings
  e2e_tap_to_switch 65 275
  level "$tag" 3 minus
  level "$tag" 7 times
  level "$tag" 10 divided
  e2e_tap $((208 + 10)) $((20 + 10))
  e2e_wait_exit "$E2E_PID" 10000
  rm -rf "$E2E_TMP/data"
done

# In full colour (a palette of 256 blotches the boards' chalk), packed as tightly as zlib can.
montage "${SHOTS[@]}" -tile 6x -geometry +6+6 -font DejaVu-Sans -pointsize 13 \
  -background '#202020' -fill white -depth 8 -strip -define png:compression-level=9 \
  -define png:compression-filter=1 -define png:compression-strategy=0 \
  "PNG24:$here/contact-sheet.png"
echo "Wrote $here/contact-sheet.png"
