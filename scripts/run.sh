#!/usr/bin/env bash
# Builds Tarvo and shows it decoding a sample of meter bytes.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target tarvo-cli
build/release/cli/tarvo-cli decode --language 1 < samples/bench-frames.hex
