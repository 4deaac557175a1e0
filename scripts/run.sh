#!/usr/bin/env bash
# Builds Tarvo and opens it with its built-in simulated meter, already started.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target tarvo
build/release/app/tarvo --demo --start
