#!/usr/bin/env bash
# Builds tise and starts it in the sample installation, with the arguments
# given (tise --help says which: folders to list, a .module or .screen file to
# open, --screen NAME, ...). Paths are taken from where it was started.
# Without a display it renders the sample's main screen to a PNG with
# tise-cli instead and prints the PNG's path.
set -euo pipefail
# The viewer starts in the sample's folder: relative paths are made absolute
# first, option values (--screen NAME) are left as they are.
args=()
value_next=0
for arg in "$@"; do
  if [ "$value_next" = 1 ] || [[ "$arg" == -* ]] || [[ "$arg" == /* ]]; then
    args+=("$arg")
  else
    args+=("$PWD/$arg")
  fi
  value_next=0
  case "$arg" in --screen|--language) value_next=1 ;; esac
done
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
exec ../bin/tise ${args[@]+"${args[@]}"}
