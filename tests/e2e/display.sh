# shellcheck shell=bash
# An Xvfb of one's own, for the end-to-end stories and the benchmark:
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
