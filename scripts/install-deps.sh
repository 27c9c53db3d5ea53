#!/usr/bin/env bash
# Installs every Debian 12 package the build, the program and the tests need.
# Runs apt-get only when something is missing; as root or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl1-mesa-dev qt6-svg-dev
  libgtest-dev googletest libbenchmark-dev
  libcups2-dev cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils qpdf
  fonts-dejavu-core xvfb
  openbox imagemagick xdotool
  desktop-file-utils appstream man-db dpkg-dev
  clang-format clang-tidy
)
# Extra packages a script needs on top (coverage: gcovr).
read -r -a extra <<< "${EXTRA_PACKAGES:-}"
PACKAGES+=("${extra[@]}")
if [ "${WITH_FUZZ:-0}" = 1 ]; then
  PACKAGES+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
