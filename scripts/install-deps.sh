#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  xvfb x11-utils imagemagick librsvg2-bin xdotool fonts-wine fonts-nanum fonts-wqy-microhei fonts-ipafont-gothic
  clang-format zip unzip osslsigncode openssl)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them as root on Debian (with 'dpkg --add-architecture i386' first)." >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
dpkg --add-architecture i386
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
