#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests and the run need.
set -euo pipefail
PACKAGES=(build-essential cmake qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
          libmodbus-dev mbpoll xvfb xauth xdotool imagemagick libgl-dev
          dpkg-dev desktop-file-utils ninja-build lld)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
