#!/usr/bin/env bash
# Two simulated meters, a bench one on volts and a compact one on amps,
# recorded together for DURATION seconds, then lined up
# by `combine` with P=A*B and Q=integral(B). Checks, on the written .csv:
#   - every row's P equals A*B where both are there (to the digits written),
#   - Q's last value agrees within 0.1 % with a trapezoid sum worked out here
#     from B's session file, apart from the program,
#   - both sessions carry the same group.
# HOW records them: "meters", one `record --meters 2` (the default); "runs",
# two `record` runs started together; "windows", two windows of the program
# (under Xvfb), each pressing Start, ended by SIGTERM.
# Prints the figures; exits 1 when a check fails.
#   bench/two_meters_combined.sh [build/release/cli/tarvo-cli] [DURATION] [HOW]
set -euo pipefail
cli=${1:-build/release/cli/tarvo-cli}
duration=${2:-600}
how=${3:-meters}
window=$(dirname "$cli")/../app/tarvo
[ -x "$cli" ] || { echo "two_meters_combined: no tarvo-cli at $cli" >&2; exit 2; }

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
# A folder of its own for the group file too, so that recorders of another
# run on this machine never join this one's group.
export XDG_STATE_HOME="$scratch/state" XDG_CONFIG_HOME="$scratch/config"
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/tarvo"
printf '[General]\nformat=1\n' >"$XDG_CONFIG_HOME/tarvo/tarvo.conf"

cat >"$scratch/volts.txt" <<'SCENARIO'
family bench
DCV AUTO 50.000 V 11.900..12.100 noise 0.004 for 2min
DCV AUTO 50.000 V 12.100..11.900 noise 0.004 for 2min
SCENARIO
cat >"$scratch/amps.txt" <<'SCENARIO'
family compact
DCA AUTO 5.0000 A 0.2000..1.8000 noise 0.002 for 3min
DCA AUTO 5.0000 A 1.8000..0.2000 noise 0.002 for 3min
SCENARIO
ports=()
for meter in volts amps; do
  "$cli" simulate --scenario "$scratch/$meter.txt" >"$scratch/$meter.port" &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$scratch/$meter.port" ] && break; sleep 0.05; done
  ports+=("$(head -n 1 "$scratch/$meter.port")")
done

start=$(date +%s)
case "$how" in
  meters)
    "$cli" record --port "${ports[0]}" --port "${ports[1]}" --meters 2 --duration "$duration" \
      >"$scratch/record.out" 2>"$scratch/record.err"
    ;;
  runs)
    for r in 1 2; do
      "$cli" record --port "${ports[0]}" --port "${ports[1]}" --duration "$duration" \
        >>"$scratch/record.out" 2>"$scratch/record-$r.err" &
      eval "run_$r=\$!"
    done
    wait "$run_1" "$run_2"
    ;;
  windows)
    [ -x "$window" ] || { echo "two_meters_combined: no tarvo at $window" >&2; exit 2; }
    xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
      for w in 1 2; do "$0" --port "$1" --port "$2" --start 2>/dev/null & pids+=($!); sleep 1; done
      sleep "$3"
      kill -TERM "${pids[@]}"; wait "${pids[@]}"' "$window" "${ports[0]}" "${ports[1]}" "$duration"
    touch "$scratch/record.out"
    ;;
  *) echo "two_meters_combined: HOW is meters, runs or windows" >&2; exit 2 ;;
esac
echo "$how: recorded for $(($(date +%s) - start)) s: $(wc -l <"$scratch/record.out") JSON lines"

mapfile -t sessions < <(ls -1tr "$XDG_STATE_HOME"/tarvo/sessions/*.tarvo-session)
[ "${#sessions[@]}" -eq 2 ] || { echo "expected 2 sessions, found ${#sessions[@]}" >&2; exit 1; }
groups=$(grep -h '^group' "${sessions[@]}" | sort -u | wc -l)
echo "sessions: ${#sessions[@]}, groups among them: $groups"

# A is the bench meter's session (volts), B the compact one's (amps).
a=$(grep -l "^family$(printf '\t')bench" "${sessions[@]}")
b=$(grep -l "^family$(printf '\t')compact" "${sessions[@]}")
"$cli" combine "$a" "$b" "$scratch/out.csv" --formula 'P=A*B' --formula 'Q=integral(B)'

# The rows' time span where B has a value: the two recordings need not start
# and end at the same moment, and Q only covers the rows.
span=$(tr -d '\r' <"$scratch/out.csv" | awk -F, '
  function secs(t,   h, m, s) {  # 2026-12-10T21:05:03+00:00, within one day
    h = substr(t, 12, 2); m = substr(t, 15, 2); s = substr(t, 18, 2)
    return h * 3600 + m * 60 + s
  }
  NR > 1 && $4 != "" { if (first == "") first = secs($1); last = secs($1) }
  END { print first, last }')

# B's own readings within that span (give or take the half second by which
# the rows' times may differ from B's), integrated here by the trapezoid rule
# straight from its session file, apart from the program: amperes, and a gap
# of more than one and a half intervals is not bridged.
own=$(awk -F'\t' -v first="${span% *}" -v last="${span#* }" '
  function secs(t,   h, m, s) {  # 2026-12-10T21:05:03+00:00, within one day
    h = substr(t, 12, 2); m = substr(t, 15, 2); s = substr(t, 18, 2)
    return h * 3600 + m * 60 + s
  }
  $1 == "interval" { interval = $2 }
  $1 == "reading" {
    t = secs($3)
    if (t < first - interval / 2 || t > last + interval / 2) next
    scale = $6 ~ / mA$/ ? 1e-3 : $6 ~ / uA$/ ? 1e-6 : 1
    b = $5 * scale
    if (have && t - last_t <= 1.5 * interval) sum += (t - last_t) * (last_b + b) / 2
    have = 1; last_t = t; last_b = b
  }
  END { printf "%.12f", sum / 3600 }' "$b")

# Time,A,A Unit,B,B Unit,P,P Unit,Q,Q Unit; the first line begins with a BOM.
tr -d '\r' <"$scratch/out.csv" | awk -F, -v own="$own" '
  NR == 1 { next }
  {
    rows++
    if ($2 != "" && $4 != "") {
      both++
      p = $2 * $4
      if (p - $6 > 1e-9 * (p < 0 ? -p : p) + 1e-9 || $6 - p > 1e-9 * (p < 0 ? -p : p) + 1e-9) bad++
    }
    if ($8 != "") q = $8
  }
  END {
    dev = own == 0 ? 0 : (q - own) / own * 100
    printf "rows: %d, with both meters: %d, P unequal to A*B: %d\n", rows, both, bad
    printf "Q (program): %.9f A*h, trapezoid of B'"'"'s session: %.9f A*h, difference: %.4f %%\n",
      q, own, dev
    if (bad > 0 || rows == 0 || dev > 0.1 || dev < -0.1) exit 1
  }'
[ "$groups" -eq 1 ] || { echo "the sessions do not share one group" >&2; exit 1; }
echo "two_meters_combined: all checks passed"
