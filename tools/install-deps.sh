#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running tise need,
# and any more packages named as arguments (tools/fuzz.sh names its own).
# Does nothing when they are all present.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  liblua5.2-dev zlib1g-dev qt6-base-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsquish-dev nlohmann-json3-dev
  fonts-dejavu-core xvfb xauth xdotool imagemagick
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
