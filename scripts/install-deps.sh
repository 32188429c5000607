#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, only
# those that are missing. Uses sudo only when not running as root.
# usage: scripts/install-deps.sh [PACKAGE...]   (default: the list below)
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-serialport-dev libgl-dev qt6-translations-l10n
  fonts-liberation fonts-dejavu-core
  xvfb x11-apps imagemagick xdotool
  lrzsz python3
  dpkg-dev
)
[ $# -eq 0 ] || packages=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
