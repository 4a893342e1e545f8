#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Dravik needs.
# Idempotent: packages already present are not touched, and apt is only asked when
# something is missing. Runs as root on a fresh Debian 12 machine (sudo otherwise).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsqlcipher-dev sqlcipher sqlite3
  libzstd-dev zstd
  libjpeg62-turbo-dev libturbojpeg0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev qt6-translations-l10n libgl-dev fonts-arphic-uming xvfb xauth
  # the end-to-end journeys: Xlib for their probe, the mouse and the keys, JSON
  libx11-dev xdotool jq
  # the timing scripts in bench/: GNU time and bc
  time bc
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#PACKAGES[@]} packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
