#!/usr/bin/env bash
# Builds Tarvo three ways and runs every test: the fuzz targets briefly (clang,
# libFuzzer), the optimised build with warnings as errors and the Debian package
# made from it, and the debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

echo "== fuzz targets (short run)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scripts/fuzz.sh 20

echo "== release build and tests"
cmake --preset release >/dev/null
cmake --build --preset release
ctest --preset release

echo "== Debian package from the release build"
deb=$(scripts/package.sh | tail -n 1)
tests/package/check_package.sh "$deb" build/release

echo "== sanitizer build and tests"
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev
