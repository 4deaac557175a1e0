#!/usr/bin/env bash
# Times whole `tarvo-cli convert` processes on inputs that are no text log: a
# 64 GB sparse file, /dev/zero, /dev/urandom and a FIFO without a writer. Each
# must be refused within a second using under 100 MB. Prints one line per input
# with the wall time, the peak resident memory and the exit status.
#   bench/odd_inputs.sh [build/release/cli/tarvo-cli]
set -euo pipefail
cli=${1:-build/release/cli/tarvo-cli}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
truncate -s 64G "$scratch/huge.txt"
mkfifo "$scratch/fifo.txt"

printf '%-14s %8s %10s %6s\n' input seconds peak_MB status
for input in "$scratch/huge.txt" /dev/zero /dev/urandom "$scratch/fifo.txt"; do
  status=0
  /usr/bin/time -f '%e %M' -o "$scratch/time" timeout 10 "$cli" convert "$input" \
    "$scratch/out.txt" 2>/dev/null || status=$?
  read -r seconds kib < <(tail -n 1 "$scratch/time")
  printf '%-14s %8s %10.1f %6s\n' "$(basename "$input")" "$seconds" "$((kib))e-3" "$status"
done
