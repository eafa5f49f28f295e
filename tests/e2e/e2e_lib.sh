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
E2E_ARGS=() E2E_PIDS=() E2E_XVFB= E2E_WINDOW= E2E_SCALE= E2E_PID=

# Missing tools fail the story: `make test` installs them, so a skip would only hide a gap.
e2e_require_tools() {
  e2e_require Xvfb xdotool xmessage import convert compare sox flock "$E2E_PROGRAM" "$E2E_DUMP" \
    "$E2E_CLOSE"
}

# Starts the program with the story's data folder, sound file and clock; its id goes to
# E2E_PID. libfaketime is preloaded directly (not through the faketime wrapper) so that the id
# is the program's own, for kill, /proc and its exit code. The program speaks English whatever
# the machine's language, unless the story sets E2E_LANG (for LANG) or E2E_ARGS.
e2e_launch() {
  env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG="${E2E_LANG:-C.UTF-8}" \
    XDG_DATA_HOME="${E2E_DATA_HOME:-$E2E_TMP/data}" \
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_TMP/audio${#E2E_PIDS[@]}.raw" \
    LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="${E2E_FAKETIME:-$E2E_FAKE_TIME}" \
    DONT_FAKE_MONOTONIC="${E2E_REAL_MONOTONIC:-1}" TZ=UTC \
    "$E2E_PROGRAM" "${E2E_ARGS[@]}" >>"$E2E_TMP/program.log" 2>&1 9>&- &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

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

e2e_begin e2e_require_tools
mkdir -p "$E2E_TMP/data"
