#!/usr/bin/env bash
# Times the desktop program as a whole process: from its launch until the X
# server maps its main window, on an Xvfb server of its own with nothing else
# running on it. One warm-up run fills the file caches; the runs after it are
# printed one a line (milliseconds), then their median.
#   bench/window_start.sh [build/release/app/tarvo] [RUNS] [ARGS...]
set -euo pipefail
program=${1:-build/release/app/tarvo}
runs=${2:-9}
shift $(( $# < 2 ? $# : 2 ))
[ -x "$program" ] || { echo "window_start: no program at $program" >&2; exit 2; }

scratch=$(mktemp -d)
pids=()
cleanup() {  # the X clients before their server
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
# The number and its newline may come in two writes: wait for the whole line.
for _ in $(seq 100); do [ "$(wc -l < "$scratch/display")" -ge 1 ] && break; sleep 0.05; done
[ "$(wc -l < "$scratch/display")" -ge 1 ] || { echo "window_start: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$scratch/display")" QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Every window mapped on the root window is one line starting "MapNotify".
mkfifo "$scratch/events"
xev -root -event substructure >"$scratch/events" 2>/dev/null &
pids+=($!)
exec 4<"$scratch/events"

wait_for_map() {
  local line
  while IFS= read -r -t 20 line <&4; do [[ $line == MapNotify* ]] && return 0; done
  echo "window_start: no window was shown within 20 s" >&2
  return 1
}

times=()
for run in $(seq 0 "$runs"); do
  start=$EPOCHREALTIME
  "$program" "$@" >/dev/null 2>&1 &
  app=$!
  wait_for_map
  end=$EPOCHREALTIME
  kill "$app"
  wait "$app" 2>/dev/null || true
  ms=$(( (${end/./} - ${start/./}) / 1000 ))
  if [ "$run" -gt 0 ]; then
    times+=("$ms")
    echo "run $run: $ms ms"
  fi
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "median of ${#sorted[@]} runs: ${sorted[$(( ${#sorted[@]} / 2 ))]} ms"
