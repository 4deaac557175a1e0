#!/usr/bin/env bash
# Two recordings started at the same moment against two simulated meters,
# each given both ports in the same order: a trial passes when each ends with
# a reading of its own meter. Prints one line a trial, then the passes.
#   bench/two_recorders.sh [build/release/cli/tarvo-cli] [TRIALS]
set -euo pipefail
cli=${1:-build/release/cli/tarvo-cli}
trials=${2:-20}
[ -x "$cli" ] || { echo "two_recorders: no tarvo-cli at $cli" >&2; exit 2; }

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
export XDG_STATE_HOME="$scratch/state"

ports=()
for value in 1.1111 2.2222; do
  printf 'DCV 5.0000 V %s for 1h\n' "$value" >"$scratch/$value.txt"
  "$cli" simulate --scenario "$scratch/$value.txt" >"$scratch/$value.port" &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$scratch/$value.port" ] && break; sleep 0.05; done
  ports+=("$(head -n 1 "$scratch/$value.port")")
done

passed=0
for trial in $(seq "$trials"); do
  for r in a b; do
    "$cli" record --port "${ports[0]}" --port "${ports[1]}" --count 1 \
      >"$scratch/$r.out" 2>"$scratch/$r.err" &
    eval "rec_$r=\$!"
  done
  status_a=0 status_b=0
  wait "$rec_a" || status_a=$?
  wait "$rec_b" || status_b=$?
  got_a=$(grep -o '"Main_No":"[^"]*"' "$scratch/a.out" | head -n 1 || true)
  got_b=$(grep -o '"Main_No":"[^"]*"' "$scratch/b.out" | head -n 1 || true)
  if [ "$status_a" = 0 ] && [ "$status_b" = 0 ] && [ -n "$got_a" ] && [ -n "$got_b" ] &&
    [ "$got_a" != "$got_b" ]; then
    passed=$((passed + 1))
    echo "trial $trial: each got a meter"
  else
    echo "trial $trial: exit $status_a/$status_b, $got_a / $got_b"
  fi
done
echo "$passed of $trials trials: each recorder got a meter of its own"
[ "$passed" = "$trials" ]
