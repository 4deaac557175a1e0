#!/usr/bin/env bash
# Builds the Debian package from the Release build (build/release, built first
# when needed) and prints its path: build/release/package/tarvo_VERSION_ARCH.deb.
# Install it with: sudo apt install ./build/release/package/tarvo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release
rm -f build/release/package/tarvo_*.deb
(cd build/release && cpack --config CPackConfig.cmake >/dev/null)
ls build/release/package/tarvo_*.deb
