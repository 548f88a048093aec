#!/usr/bin/env bash
# Builds everything and runs every test.
#   BUILD_DIR      build folder (default: build)
#   TISE_SANITIZE  ON to build with AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -DTISE_SANITIZE="${TISE_SANITIZE:-OFF}" >/dev/null
cmake --build "$build" -j2
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
ctest --test-dir "$build" --output-on-failure -j2
