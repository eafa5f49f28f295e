#!/usr/bin/env bash
# Measures chalkmere.exe under Wine beside a minimal Win32 program that opens the same window
# and paints one 240 × 320 bitmap (the baseline, built by the same toolchain), on an Xvfb and
# in a Wine prefix of its own:
#   windows_bench.sh <chalkmere.exe> <minimal_win32.exe> <wine prefix>
# Warm starts (the prefix's server and services already up), alternating, each timed from the
# fork to the "present" line the program writes after its first frame (CHALKMERE_TRACE);
# resident memory after the first frame; processor time idle on the first screen (the
# program's and Wine's server's); then a few cold starts, for what they cost. Prints ratios
# against the baseline with their goals.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 <chalkmere.exe> <minimal_win32.exe> <wine prefix>" >&2
  exit 2
fi
PROGRAM=$1
MINIMAL=$2
PREFIX=$3
STARTS=${BENCH_STARTS:-9}
COLD_STARTS=${BENCH_COLD_STARTS:-3}
IDLE_SECONDS=${BENCH_IDLE_SECONDS:-20}
SETTLE_SECONDS=2  # after the first frame: the tune (1.72 s) has been handed to the system
CLK_TCK=$(getconf CLK_TCK)
WINE_RUN="$(cd "$(dirname "$0")/../windows" && pwd)/wine-run.sh"

for tool in Xvfb flock; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (make test-deps installs it)" >&2; exit 1; }
done
for binary in "$PROGRAM" "$MINIMAL"; do
  [ -f "$binary" ] || { echo "$binary is not built" >&2; exit 1; }
done
# Measured alone: the end-to-end stories and the other benchmarks take the same lock.
exec 9>"${TMPDIR:-/tmp}/chalkmere-e2e-$(id -u).lock"
flock -w 600 9 || { echo "the end-to-end tests kept the lock for 600 s" >&2; exit 1; }

TMP=$(mktemp -d "${TMPDIR:-/tmp}/chalkmere-wbench.XXXXXX")
PIDS=()
XVFB=
server() { "$WINE_RUN" "$PREFIX" wineserver "$@" 2>/dev/null 9>&- || true; }
cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  server -k
  if [ -n "$XVFB" ]; then kill -TERM "$XVFB" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$TMP"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

die() { echo "windows_bench: $*" >&2; exit 1; }
now_ns() { echo "${EPOCHREALTIME//[.,]/}000"; }

# shellcheck source=tests/e2e/display.sh
source "$(dirname "$0")/../e2e/display.sh"
start_xvfb "$TMP" XVFB || die "Xvfb did not start"
export WINE_RUN_DISPLAY=$DISPLAY

# Starts <exe> [argument] (wine-run.sh ends in an exec: the process started is the
# program's); sets PID and START_NS, just before the fork.
launch() {
  local exe=$1 trace=$2
  : >"$trace"
  START_NS=$(now_ns)
  env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 CHALKMERE_TRACE="$trace" \
    "$WINE_RUN" "$PREFIX" "$exe" ${3:+"$3"} >>"$TMP/programs.log" 2>&1 9>&- &
  PID=$!
  PIDS+=("$PID")
}

# Waits up to 30 s for a first present in the trace (the program stamps each, with a hash of
# its picture).
wait_present() {
  local deadline=$(($(now_ns) + 30000000000))
  until grep -q '^present ' "$1"; do
    [ "$(now_ns)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

# The time of the first present that showed the picture the start settled on (the title):
# presents of a picture still being put together do not count.
first_frame() {
  awk '$1 == "present" { time[NR] = $2; hash[NR] = $3; last = $3 }
       END { for (i = 1; i <= NR; i++) if (hash[i] == last) { print time[i]; exit } }' "$1"
}

stop() {
  local pid=$1
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

status_kb() { awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status"; }
pss_kb() { awk '$1 == "Pss:" { print $2 }' "/proc/$1/smaps_rollup"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# The prefix's own server, among any other prefixes' running at the same time.
server_pid() {
  local pid
  for pid in $(pgrep wineserver); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$PREFIX" &&
      { echo "$pid"; return 0; }
  done
  die "the prefix's wineserver is not running"
}

# One start of <name>'s <exe>: "<ms to first frame> <VmRSS kB> <Pss kB> <VmHWM kB>" to
# <name>-<kind>.txt.
measure_start() {
  local name=$1 exe=$2 kind=$3 first
  launch "$exe" "$TMP/$name-trace.txt" "${4:-}"
  wait_present "$TMP/$name-trace.txt" || die "$name showed no frame"
  sleep "$SETTLE_SECONDS"
  kill -0 "$PID" 2>/dev/null || die "$name ended"
  first=$(first_frame "$TMP/$name-trace.txt")
  echo "$(((first - START_NS) / 1000)) $(status_kb "$PID" VmRSS) $(pss_kb "$PID")" \
    "$(status_kb "$PID" VmHWM)" >>"$TMP/$name-$kind.txt"
  stop "$PID"
}

# Processor time of <name> and of Wine's server over IDLE_SECONDS on the first screen, once
# it has settled: "<program ticks> <server ticks>".
measure_idle() {
  local name=$1 exe=$2 before server_before wineserver
  launch "$exe" "$TMP/$name-trace.txt"
  wait_present "$TMP/$name-trace.txt" || die "$name showed no frame"
  sleep 3  # the tune and the program's second of quick polling after its last picture
  wineserver=$(server_pid)
  before=$(cpu_ticks "$PID")
  server_before=$(cpu_ticks "$wineserver")
  sleep "$IDLE_SECONDS"
  echo "$(($(cpu_ticks "$PID") - before)) $(($(cpu_ticks "$wineserver") - server_before))" \
    >"$TMP/$name-idle.txt"
  stop "$PID"
}

echo "Measuring under Wine on $DISPLAY: $STARTS warm starts of each, alternating; idle" \
  "${IDLE_SECONDS} s each; $COLD_STARTS cold starts of each..."
server -p
"$WINE_RUN" "$PREFIX" cmd /c exit >/dev/null 2>&1 9>&- || true  # makes the prefix, starts its services
for name in minimal chalkmere; do  # warms the caches; the program makes its registry key
  exe=$MINIMAL; [ "$name" = chalkmere ] && exe=$PROGRAM
  measure_start "$name" "$exe" warmup
done
for _ in $(seq "$STARTS"); do
  measure_start minimal "$MINIMAL" warm
  measure_start chalkmere "$PROGRAM" warm
done
# The floor the system's sound sets: the baseline, playing a sound at start as the program
# plays its tune.
for _ in $(seq "$COLD_STARTS"); do
  measure_start minimal "$MINIMAL" sound --sound
done
measure_idle minimal "$MINIMAL"
measure_idle chalkmere "$PROGRAM"
for _ in $(seq "$COLD_STARTS"); do
  for name in minimal chalkmere; do
    exe=$MINIMAL; [ "$name" = chalkmere ] && exe=$PROGRAM
    server -k
    server -w
    measure_start "$name" "$exe" cold
  done
done

# --- figures ---------------------------------------------------------------------------------

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else print v[int((NR + 1) / 2)] }'; }
column() { awk -v c="$3" '{ print $c }' "$TMP/$1-$2.txt" | median; }
ms() { awk -v v="$1" 'BEGIN { printf "%.1f", v / 1000 }'; }
mb() { awk -v v="$1" 'BEGIN { printf "%.1f", v / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v r="$1" -v g="$2" 'BEGIN { print (r + 0 <= g + 0 ? "PASS" : "FAIL") }'; }
row() { printf '%-44s %10s %10s %7s %6s %7s\n' "$@"; }

m_start=$(column minimal warm 1); c_start=$(column chalkmere warm 1)
m_rss=$(column minimal warm 2); c_rss=$(column chalkmere warm 2)
m_pss=$(column minimal warm 3); c_pss=$(column chalkmere warm 3)
m_hwm=$(column minimal warm 4); c_hwm=$(column chalkmere warm 4)
m_cold=$(column minimal cold 1); c_cold=$(column chalkmere cold 1)
read -r m_idle m_server <"$TMP/minimal-idle.txt"
read -r c_idle c_server <"$TMP/chalkmere-idle.txt"
# A tick (1/CLK_TCK s) is the finest the kernel counts: a baseline of none counts as one.
idle_ratio=$(awk -v c="$((c_idle + c_server))" -v m="$((m_idle + m_server))" \
  'BEGIN { printf "%.2f", c / (m < 1 ? 1 : m) }')
idle_ms() { awk -v t="$1" -v k="$CLK_TCK" 'BEGIN { printf "%.0f", t * 1000 / k }'; }

r_start=$(ratio "$c_start" "$m_start")
r_rss=$(ratio "$c_rss" "$m_rss")
echo
row "Measure" "minimal" "Chalkmere" "ratio" "goal" "verdict"
row "--------------------------------------------" "-------" "---------" "-----" "----" "-------"
row "Warm start to first frame, ms (median of $STARTS)" "$(ms "$m_start")" "$(ms "$c_start")" \
  "$r_start" "<=1.2" "$(verdict "$r_start" 1.2)"
row "Resident after first frame, VmRSS MB" "$(mb "$m_rss")" "$(mb "$c_rss")" "$r_rss" "<=1.2" \
  "$(verdict "$r_rss" 1.2)"
row "  proportional (Pss) MB" "$(mb "$m_pss")" "$(mb "$c_pss")" "$(ratio "$c_pss" "$m_pss")" "-" "-"
s_rss=$(column minimal sound 2)
row "  minimal playing a sound at start, VmRSS MB" "$(mb "$s_rss")" "$(mb "$c_rss")" \
  "$(ratio "$c_rss" "$s_rss")" "-" "-"
row "  peak (VmHWM) MB" "$(mb "$m_hwm")" "$(mb "$c_hwm")" "$(ratio "$c_hwm" "$m_hwm")" "-" "-"
row "Idle ${IDLE_SECONDS} s, CPU ms (program + wineserver)" \
  "$(idle_ms "$m_idle")+$(idle_ms "$m_server")" "$(idle_ms "$c_idle")+$(idle_ms "$c_server")" \
  "$idle_ratio" "<=1.5" "$(verdict "$idle_ratio" 1.5)"
row "Cold start to first frame, ms (median of $COLD_STARTS)" "$(ms "$m_cold")" "$(ms "$c_cold")" \
  "$(ratio "$c_cold" "$m_cold")" "-" "-"
echo
echo "Warm: the prefix's wineserver and services are up, as after any earlier Wine program; cold:"
echo "the server ended before each start, which then starts it and the prefix's services. Times"
echo "run from the fork of wine to the program's own stamp after the first present of the picture"
echo "it settles on (the title), presents of a picture still being put together not counted."
