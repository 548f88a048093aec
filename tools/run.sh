#!/usr/bin/env bash
# Builds tise and starts it in the sample installation (folders given are
# listed too). Without a display it renders the sample's main screen to a PNG
# with tise-cli instead and prints the PNG's path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j2
cd build/sample
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): rendering the sample's main screen with tise-cli instead."
  picture="$(cd .. && pwd)/mainmenu.png"
  ../bin/tise-cli render Ironveil.module mainmenu.screen -o "$picture"
  echo "$picture"
  exit 0
fi
exec ../bin/tise "$@"
