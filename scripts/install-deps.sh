#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing; with
# arguments, those packages instead. A mirror caught mid-sync can fail one
# index and leave the suites out of step (the i386 and amd64 copies of a
# Multi-Arch: same library from different suites), so the update is retried
# and a failed index only noted, and an install that cannot resolve is tried
# again from the release's own suite.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  xvfb x11-utils imagemagick librsvg2-bin xdotool fonts-wine fonts-nanum fonts-wqy-microhei fonts-ipafont-gothic
  fonts-arphic-uming clang-format zip unzip osslsigncode openssl)
[ $# -gt 0 ] && packages=("$@")
os_release=${VORN_OS_RELEASE:-/etc/os-release}
update_tries=${VORN_APT_UPDATE_TRIES:-3}
update_wait=${VORN_APT_UPDATE_WAIT:-5}

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
[[ " ${missing[*]}" == *:i386* ]] && dpkg --add-architecture i386

# apt names a failed index in its own "E:"/"W:" lines; those are kept and shown
# once the last try has failed, and the install goes on with the indexes it has.
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
updated=false
for ((try = 1; try <= update_tries; try++)); do
  if apt-get update -qq >"$update_log" 2>&1; then
    updated=true
    break
  fi
  [ "$try" -lt "$update_tries" ] && sleep "$update_wait"
done
if ! $updated; then
  echo "apt-get update failed $update_tries times; going on with the package lists it has:" >&2
  grep -E '^(E|W):' "$update_log" | head -n 3 >&2 || tail -n 3 "$update_log" >&2
fi

install() { DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >/dev/null; }
install && exit 0

codename=$(. "$os_release" 2>/dev/null && echo "${VERSION_CODENAME:-}") || codename=
if [ -n "$codename" ]; then
  echo "The install could not be resolved; trying again with $codename as the target release." >&2
  install -t "$codename" && exit 0
fi
echo "Could not install: ${missing[*]}." >&2
echo "The package mirror may be in the middle of a sync; run this again later (scripts/install-deps.sh)." >&2
exit 1
