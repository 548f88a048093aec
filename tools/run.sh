#!/usr/bin/env bash
# Builds tise and starts it in the sample installation (folders given are
# listed too). Without a display it lists the modules with tise-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j2
cd build/sample
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): listing the modules with tise-cli instead."
  exec ../bin/tise-cli modules "$@"
fi
exec ../bin/tise "$@"
