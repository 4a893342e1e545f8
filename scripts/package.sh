#!/usr/bin/env bash
# Builds the Debian package of Dravik (dravik_<version>_<arch>.deb) in its own build folder
# (${DRAVIK_PACKAGE_DIR:-build-package}) and checks its desktop entry. Install it with
#   sudo apt-get install ./build-package/dravik_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# What packaging needs beyond building: dpkg-shlibdeps for the dependencies, the checker
# of desktop entries.
needed=()
for pkg in dpkg-dev file desktop-file-utils; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || needed+=("$pkg")
done
if [ ${#needed[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${needed[@]}"
fi
desktop-file-validate "$root/packaging/dravik.desktop"
build="${DRAVIK_PACKAGE_DIR:-$root/build-package}"
DRAVIK_BUILD_DIR="$build" "$root/scripts/build.sh" -DDRAVIK_BUILD_TESTS=OFF -DDRAVIK_BUILD_BENCH=OFF
cd "$build"
cpack -G DEB
ls -1 "$build"/dravik_*.deb
