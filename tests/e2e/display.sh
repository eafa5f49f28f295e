# shellcheck shell=bash
# What the end-to-end stories (of the Linux and the Windows program) and the benchmark share:
# an Xvfb of one's own, taps and screenshots of the Chalkmere window, pictures compared with
# the committed ones, and the clean-up of everything a story started. A story's own library
# sets E2E_STORY, E2E_TMP, E2E_OUT, E2E_GOLDEN and E2E_PIDS and defines e2e_launch.
#
#   start_xvfb <folder> <variable>
#   start_xvfb <folder> <variable>
# starts it (its log in <folder>/xvfb.log), puts its process id in <variable> and exports
# DISPLAY; false when it gives no display within 10 s. Never a fixed display number; the
# screen holds the whole window at 3×. -noreset, as a desktop's server never resets: a reset
# whenever the last client leaves would make the next connection wait for it.
start_xvfb() {
  local folder=$1
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$folder/display" \
    2>"$folder/xvfb.log" 9>&- &
  printf -v "$2" '%s' "$!"
  for _ in $(seq 200); do
    [ -s "$folder/display" ] && break
    kill -0 "$!" 2>/dev/null || return 1
    sleep 0.05
  done
  [ -s "$folder/display" ] || return 1
  DISPLAY=":$(head -n 1 "$folder/display")"
  export DISPLAY
}

# Fails the story unless every tool given is there, and libfaketime, whose path goes to
# E2E_FAKETIME_LIB.
e2e_require() {
  local tool lib
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (make test-deps installs it)"
  done
  for lib in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
    [ -f "$lib" ] && E2E_FAKETIME_LIB=$lib && return
  done
  fail "libfaketime is missing (make test-deps installs faketime)"
}

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
  # A story's own clean-up, while the display is still there.
  if declare -F e2e_finish >/dev/null; then e2e_finish || true; fi
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

# Ids of the visible windows titled Chalkmere, one a line.
e2e_find_windows() { xdo search --onlyvisible --name '^Chalkmere$' 2>/dev/null || true; }

# Waits up to 10 s until <count> Chalkmere windows are shown; fails if process <pid> (<who>)
# ends meanwhile.
e2e_wait_for_windows() {
  local deadline=$(($(now_ms) + 10000))
  until [ "$(e2e_find_windows | wc -l)" -eq "$1" ]; do
    kill -0 "$2" 2>/dev/null || fail "$3 ended"
    [ "$(now_ms)" -lt "$deadline" ] || fail "not $1 windows but $(e2e_find_windows | wc -l) after 10 s"
    sleep 0.05
  done
}

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

# The story's screenshot at the window's scale, for the README.
e2e_publish() { cp "$E2E_TMP/$1.png" "$E2E_OUT/e2e-$2.png"; }

# The start of every story: the clean-up set for its end, its tools checked (the command
# given), its turn taken, then its own folder (E2E_TMP) and Xvfb.
e2e_begin() {
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
  "$@"
  # Stories take turns (a lock per user, which the benchmark takes too): stories timed on a
  # busy processor would flake. Each has a data folder of its own, so the program's one
  # instance per data folder keeps them from answering each other's starts.
  exec 9>"${TMPDIR:-/tmp}/chalkmere-e2e-$(id -u).lock"
  flock -w 150 9 || fail "another end-to-end run or benchmark kept the lock for 150 s"
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/chalkmere-e2e.XXXXXX")
  start_xvfb "$E2E_TMP" E2E_XVFB || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
}
