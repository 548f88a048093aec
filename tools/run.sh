#!/usr/bin/env bash
# Builds tise and shows the sample installation (or the folders given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j2
cd build/sample
echo "== tise-cli modules"
../bin/tise-cli modules "$@"
echo "== tise-cli info Emberwake.module"
../bin/tise-cli info Emberwake.module
echo "== tise-cli screens Emberwake.module"
../bin/tise-cli screens Emberwake.module
