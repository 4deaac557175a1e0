#!/usr/bin/env bash
# Checks the systemd user unit as systemd itself reads it: no unknown key, no
# bad value, a program that is there. The unit names tarvo-cli, which systemd
# looks for where programs are installed; here the build's one stands in.
#   tests/cli/check_unit.sh cli/tarvo-record.service BUILD/cli/tarvo-cli
set -euo pipefail
unit=$1
cli=$(realpath "$2")
if ! command -v systemd-analyze >/dev/null; then
  echo "systemd-analyze is not installed"
  exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/runtime"
grep -q '^ExecStart=tarvo-cli record --config %h/.config/tarvo/record.conf$' "$unit"
sed "s|^ExecStart=tarvo-cli |ExecStart=$cli |" "$unit" >"$scratch/tarvo-record.service"
# verify reports unknown keys on standard error but still exits with 0.
if ! XDG_RUNTIME_DIR="$scratch/runtime" systemd-analyze verify --user --man=no \
  "$scratch/tarvo-record.service" >"$scratch/said" 2>&1; then
  cat "$scratch/said"
  exit 1
fi
if [ -s "$scratch/said" ]; then
  cat "$scratch/said"
  exit 1
fi
echo "tarvo-record.service verified"
