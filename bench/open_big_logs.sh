#!/usr/bin/env bash
# Time and peak memory of whole `tarvo-cli stats` processes on generated logs of
# 1 M and 10 M readings: a session file and the text log converted from it.
# Run by hand only (the 10 M files take about 1 GB each in a temp folder):
#   bench/open_big_logs.sh [build/release/cli/tarvo-cli] [COUNTS...]
set -euo pipefail
cli=${1:-build/release/cli/tarvo-cli}
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1000000 10000000)
[ -x "$cli" ] || { echo "open_big_logs: no tarvo-cli at $cli" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "open_big_logs: /usr/bin/time is missing (apt-get install time)" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_STATE_HOME="$scratch/state" XDG_CONFIG_HOME="$scratch/config"

# A reading a second from 2026-12-09 00:00:00 +01:00, volts and ohms in turns
# of a day, with the frames' figures of a bench meter's interval.
session() {
  mawk -v count="$1" 'BEGIN {
    split("31 28 31 30 31 30 31 31 30 31 30 31", days, " ")
    printf "tarvo-session\t1\nstarted\t2026-12-09T00:00:00+01:00\nfamily\tbench\n"
    printf "interval\t1\ndecimal\t.\n"
    year = 2026; month = 12; day = 9
    for (n = 1; n <= count; n++) {
      s = (n - 1) % 86400
      if (n > 1 && s == 0) {
        if (++day > days[month]) { day = 1; if (++month > 12) { month = 1; year++ } }
      }
      time = sprintf("%02d:%02d:%02d", int(s / 3600), int(s / 60) % 60, s % 60)
      value = sprintf("%.4f", 3.2 + (n % 997) / 10000)
      range = (int(n / 86400) % 2) ? "OHM AUTO 50.000 K\316\251" : "DCV AUTO 5.0000 V"
      printf "reading\t%d\t%04d-%02d-%02dT%s+01:00\t%s\t%s\t%s\t50.00\tFRE 99.99 Hz\t4\t%s\t%s\t%s\n",
             n, year, month, day, time, time, value, range, value, value, value
    }
  }'
}

measure() {
  local name=$1 file=$2
  /usr/bin/time -v "$cli" stats "$file" >/dev/null 2>"$scratch/time.txt" || {
    echo "open_big_logs: stats failed on $name" >&2
    cat "$scratch/time.txt" >&2
    exit 1
  }
  local wall peak
  wall=$(grep 'Elapsed (wall clock)' "$scratch/time.txt" | awk '{print $NF}')
  peak=$(grep 'Maximum resident set size' "$scratch/time.txt" | awk '{print $NF}')
  mawk -v name="$name" -v bytes="$(stat -c %s "$file")" -v wall="$wall" -v peak="$peak" \
    -v count="$3" 'BEGIN {
      printf "%-28s %12s bytes  stats %8s  peak %8.1f MiB  %6.1f bytes a reading\n",
             name, bytes, wall, peak / 1024, peak * 1024 / count
    }'
}

for count in "${counts[@]}"; do
  session "$count" >"$scratch/big.tarvo-session"
  "$cli" convert "$scratch/big.tarvo-session" "$scratch/big.txt" >/dev/null
  measure "session of $count" "$scratch/big.tarvo-session" "$count"
  measure "text log of $count" "$scratch/big.txt" "$count"
  rm -f "$scratch/big.tarvo-session" "$scratch/big.txt"
done
