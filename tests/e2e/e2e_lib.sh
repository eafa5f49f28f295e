# shellcheck shell=bash disable=SC2034  # sets variables for the stories that source it
# Shared by the end-to-end stories, which source it with their arguments:
#   <story>.sh <chalkmere> <registry_dump> <close_window>
# Each story gets its own Xvfb, a fresh XDG_DATA_HOME, sound written to a file and a clock
# frozen at one moment (so the first problem is known); everything it started is stopped on
# exit, pass or fail. Screens are compared with the committed pictures in tests/golden; the
# screenshots of a failed story are kept under e2e-failed/<story>/ in the build folder.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 <chalkmere> <registry_dump> <close_window>" >&2
  exit 2
fi
E2E_PROGRAM=$1 E2E_DUMP=$2 E2E_CLOSE=$3
E2E_STORY=$(basename "$0" _test.sh)
E2E_OUT=${CHALKMERE_BUILD_DIR:-${TMPDIR:-/tmp}}
E2E_GOLDEN=$(cd "$(dirname "${BASH_SOURCE[0]}")/../golden" && pwd)
# shellcheck source=tests/e2e/display.sh
source "$(dirname "${BASH_SOURCE[0]}")/display.sh"

# The program seeds rand() from this local time; the first problem it poses then has its
# right card in slot 3, as tests/golden/e2e-game.png shows.
E2E_FAKE_TIME='2026-12-06 10:20:30'
E2E_RIGHT_SLOT=3
E2E_PIDS=() E2E_XVFB= E2E_WINDOW= E2E_SCALE= E2E_PID=

fail() {
  echo "FAIL [$E2E_STORY]: $*" >&2
  exit 1
}
step() { echo "-- $*"; }
# An X client that never hears from the server must fail the story, not hang it.
xdo() { timeout 10 xdotool "$@"; }
now_ms() {
  local t=${EPOCHREALTIME//[.,]/}
  echo $((t / 1000))
}

e2e_cleanup() {
  local status=$? pid
  trap - EXIT INT TERM
  for pid in "${E2E_PIDS[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  [ -n "$E2E_XVFB" ] && kill -TERM "$E2E_XVFB" 2>/dev/null
  for pid in "${E2E_PIDS[@]}" $E2E_XVFB; do wait "$pid" 2>/dev/null || true; done
  if [ "$status" -ne 0 ] && [ -d "${E2E_TMP:-}" ]; then
    local kept="$E2E_OUT/e2e-failed/$E2E_STORY"
    rm -rf "$kept" && mkdir -p "$kept"
    cp "$E2E_TMP"/*.png "$E2E_TMP"/*.log "$kept"/ 2>/dev/null || true
    echo "Screenshots and logs kept in $kept" >&2
    [ -f "$E2E_TMP/program.log" ] && sed 's/^/program: /' "$E2E_TMP/program.log" >&2
  fi
  [ -d "${E2E_TMP:-}" ] && rm -rf "$E2E_TMP"
  exit "$status"
}

# Missing tools fail the story: `make test` installs them, so a skip would only hide a gap.
e2e_require_tools() {
  local tool lib
  for tool in Xvfb xdotool xmessage import convert compare sox flock "$E2E_PROGRAM" "$E2E_DUMP" \
    "$E2E_CLOSE"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (make test-deps installs it)"
  done
  for lib in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
    [ -f "$lib" ] && E2E_FAKETIME_LIB=$lib && return
  done
  fail "libfaketime is missing (make test-deps installs faketime)"
}

# Starts the program with the story's data folder, sound file and clock; its id goes to
# E2E_PID. libfaketime is preloaded directly (not through the faketime wrapper) so that the id
# is the program's own, for kill, /proc and its exit code.
e2e_launch() {
  XDG_DATA_HOME="${E2E_DATA_HOME:-$E2E_TMP/data}" \
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_TMP/audio${#E2E_PIDS[@]}.raw" \
    LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="${E2E_FAKETIME:-$E2E_FAKE_TIME}" \
    DONT_FAKE_MONOTONIC="${E2E_REAL_MONOTONIC:-1}" TZ=UTC \
    "$E2E_PROGRAM" >>"$E2E_TMP/program.log" 2>&1 9>&- &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

# Ids of the visible windows titled Chalkmere, one a line.
e2e_find_windows() { xdo search --onlyvisible --name '^Chalkmere$' 2>/dev/null || true; }

# Starts the program and waits for its window; sets E2E_WINDOW and E2E_SCALE.
e2e_start_program() {
  e2e_launch
  local deadline=$(($(now_ms) + 10000)) WIDTH HEIGHT X Y SCREEN WINDOW
  E2E_WINDOW=
  while [ -z "$E2E_WINDOW" ]; do
    kill -0 "$E2E_PID" 2>/dev/null || fail "the program ended before showing its window"
    [ "$(now_ms)" -lt "$deadline" ] || fail "no window titled Chalkmere within 10 s"
    sleep 0.05
    E2E_WINDOW=$(e2e_find_windows | head -n 1)
  done
  eval "$(xdo getwindowgeometry --shell "$E2E_WINDOW")"
  E2E_SCALE=$((WIDTH / 240))
  [ "$E2E_SCALE" -ge 1 ] && [ "$WIDTH" -eq $((240 * E2E_SCALE)) ] &&
    [ "$HEIGHT" -eq $((320 * E2E_SCALE)) ] ||
    fail "window is ${WIDTH}x${HEIGHT}, not a whole multiple of 240x320"
}

# Taps display point (x, y) with the left button, as a stylus; with a third argument, that
# many taps 120 ms apart (a child's double tap).
e2e_tap() {
  local repeat=()
  [ "${3:-1}" -gt 1 ] && repeat=(--repeat "$3" --delay 120)
  xdo mousemove --window "$E2E_WINDOW" $(($1 * E2E_SCALE + E2E_SCALE / 2)) \
    $(($2 * E2E_SCALE + E2E_SCALE / 2)) click "${repeat[@]}" 1
}

# Taps a button that changes the screen, then waits as a child would: a press right after a
# change of screen belongs to a double tap and is ignored.
e2e_tap_to_switch() {
  e2e_tap "$1" "$2"
  sleep 0.3
}

# The four answer cards stand at x 20, 70, 120, 170 (46 × 50) on y 268; slot 0 is the left.
e2e_tap_card() { e2e_tap $((20 + 50 * $1 + 23)) $((268 + 25)) "${2:-1}"; }

# Screenshot at the window's scale ($E2E_TMP/<name>.png) and at display size (<name>-small.png).
e2e_shot() {
  timeout 10 import -window "$E2E_WINDOW" "$E2E_TMP/$1.png" 2>>"$E2E_TMP/tools.log" &&
    convert "$E2E_TMP/$1.png" -sample '240x320!' "$E2E_TMP/$1-small.png" 2>>"$E2E_TMP/tools.log"
}

# Differing pixels between two pictures of one size; "size" when the sizes differ.
e2e_differing_pixels() {
  local count
  count=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  case $count in '' | *[!0-9]*) echo size ;; *) echo "$count" ;; esac
}

# Waits until the window shows exactly tests/golden/<picture>.png; the matching screenshot
# stays as $E2E_TMP/<name>.png. Then waits a moment, as a child would before tapping.
e2e_expect_screen() {
  local golden="$E2E_GOLDEN/$1.png" name=$2 deadline=$(($(now_ms) + ${3:-5000})) differing=none
  while :; do
    if e2e_shot "$name"; then
      differing=$(e2e_differing_pixels "$E2E_TMP/$name-small.png" "$golden")
      [ "$differing" = 0 ] && sleep 0.3 && return 0
    fi
    [ "$(now_ms)" -lt "$deadline" ] || break
    sleep 0.1
  done
  compare "$E2E_TMP/$name-small.png" "$golden" "$E2E_TMP/$name-diff.png" 2>/dev/null || true
  fail "the window does not show $1.png: $differing pixels differ (screenshot $name.png)"
}

# The story's screenshot at the window's scale, for the README.
e2e_publish() { cp "$E2E_TMP/$1.png" "$E2E_OUT/e2e-$2.png"; }

# The opening of most stories: the title, then a tap into the first problem.
e2e_start_drill() {
  e2e_start_program
  e2e_expect_screen app-title title
  e2e_tap 120 160
  e2e_expect_screen e2e-game game
}

e2e_dump() { "$E2E_DUMP" "$E2E_TMP/data/chalkmere/registry.db"; }

# Waits until the registry holds the line (e.g. score=12).
e2e_wait_for_value() {
  local deadline=$(($(now_ms) + ${2:-5000}))
  until e2e_dump | grep -qxF "$1"; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the registry never held $1; it holds: $(e2e_dump | tr '\n' ' ')"
    sleep 0.05
  done
}

# The registry must hold exactly these lines.
e2e_expect_registry() {
  local expected actual
  expected=$(printf '%s\n' "$@") actual=$(e2e_dump)
  [ "$actual" = "$expected" ] || fail "registry holds"$'\n'"$actual"$'\n'"expected"$'\n'"$expected"
}

# Waits for the program to end; its exit code goes to E2E_EXIT_CODE.
e2e_wait_exit() {
  local deadline=$(($(now_ms) + ${2:-5000}))
  while kill -0 "$1" 2>/dev/null; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the program did not end within $((${2:-5000} / 1000)) s"
    sleep 0.05
  done
  E2E_EXIT_CODE=0
  wait "$1" || E2E_EXIT_CODE=$?
}

trap e2e_cleanup EXIT
trap 'exit 130' INT TERM
e2e_require_tools
# Stories take turns (a lock per user, which the benchmark takes too): stories timed on a
# busy processor would flake. Each has a data folder of its own, so the program's one
# instance per data folder keeps them from answering each other's starts.
exec 9>"${TMPDIR:-/tmp}/chalkmere-e2e-$(id -u).lock"
flock -w 150 9 || fail "another end-to-end run or benchmark kept the lock for 150 s"
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/chalkmere-e2e.XXXXXX")
mkdir -p "$E2E_TMP/data"
start_xvfb "$E2E_TMP" E2E_XVFB || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
