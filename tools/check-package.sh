#!/usr/bin/env bash
# Makes the Debian package from a built tree (cpack -G DEB) and checks it as
# a user gets it: lintian finds no error; installed with dpkg, tise-cli and
# tise answer --version from /usr/bin, tise-cli renders the installed sample,
# man tise-cli renders without warnings, bash completes from the installed
# script and the desktop entry is the default for .module files. The package
# is removed again whatever happens. Refuses to run when tise is installed
# already. Needs root or sudo.
#   tools/check-package.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
bash tools/install-deps.sh lintian man-db desktop-file-utils shared-mime-info xdg-utils bash-completion file

if dpkg-query -W -f='${Status}' tise 2>/dev/null | grep -q "install ok installed"; then
  echo "tise is installed already; remove it first (dpkg -r tise)." >&2
  exit 1
fi
version=$(sed -n 's/^project(tise VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
package="$build/tise_${version}_$(dpkg --print-architecture).deb"
rm -f "$package"
(cd "$build" && cpack -G DEB >/dev/null)
echo "Made $package"
lintian --fail-on error "$package"
echo "lintian: no errors"

work=$(mktemp -d)
trap '$sudo dpkg --purge tise >/dev/null; rm -rf "$work"' EXIT
$sudo dpkg -i "$package" >/dev/null
check() { # NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "$1: expected \"$2\", got \"$3\"" >&2
    exit 1
  fi
  echo "$1: $3"
}
check "tise-cli --version" "tise-cli $version" "$(/usr/bin/tise-cli --version)"
check "tise --version" "tise $version" "$(/usr/bin/tise --version)"
(cd /usr/share/tise/sample && /usr/bin/tise-cli render Ironveil.module mainmenu.screen -o "$work/menu.png")
check "render of the installed sample" "PNG image data, 1024 x 768" "$(file -b "$work/menu.png" | cut -d, -f1-2)"
check "man tise-cli warnings" "" "$(MANWIDTH=80 man --warnings tise-cli 2>&1 >/dev/null)"
check "completion of 'tise-cli ren'" "render" "$(bash -c '
  source /usr/share/bash-completion/bash_completion
  _completion_loader tise-cli
  COMP_WORDS=(tise-cli ren); COMP_CWORD=1; _tise_cli tise-cli ren tise-cli; echo "${COMPREPLY[*]}"')"
check "default for .module files" "io.github.tavrel.tise.desktop" \
  "$(XDG_CURRENT_DESKTOP= xdg-mime query default text/x-ironveil-module)"
echo "The package installs, works from /usr/bin and is removed again."
