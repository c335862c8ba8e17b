#!/usr/bin/env bash
# Installs every Debian package Ramiflex needs to build, test and run.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  build-essential cmake pkg-config clang clang-format libclang-rt-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libqt6openglwidgets6 qt6-svg-dev
  libgl-dev libglu1-mesa-dev libglew-dev libx11-dev libdevil-dev libtinyxml-dev libboost-dev
  libgtest-dev googletest libbenchmark-dev
  xvfb xauth libgl1-mesa-dri libegl-mesa0 mesa-utils fonts-dejavu-core fonts-wqy-microhei
  python3 python3-pil
  librsvg2-bin poppler-utils
  dpkg-dev file desktop-file-utils shared-mime-info
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
