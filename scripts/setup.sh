#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Idempotent: does nothing when all are there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  qt6-base-dev libx11-dev libxtst-dev libxext-dev
  fonts-dejavu-core fonts-dejavu-extra
  xvfb xauth openbox xterm x11-apps x11-utils xdg-utils
  espeak-ng sox
  pocketsphinx libpocketsphinx-dev libsphinxbase-dev pocketsphinx-en-us libpulse-dev libasound2-dev
  pulseaudio pulseaudio-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
