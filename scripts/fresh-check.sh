#!/usr/bin/env bash
# Proves the README's two commands on a new machine: a minimal Debian 12 root
# (debootstrap minbase, plus make and git only) under build/, the committed
# tree cloned into it, then `make demo` and `make test` inside it with a clean
# environment. Everything mounted into the root is unmounted and every
# process in it ended on every way out, failures and Ctrl-C included.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
source scripts/mounts.sh

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-check needs root (debootstrap, chroot and mounts); run it as root." >&2
  exit 1
fi
target=$repo/build/fresh-root
suite=bookworm

end_processes_in_root() {
  local pid
  for pid in /proc/[0-9]*; do
    if [ "$(readlink "$pid/root" 2>/dev/null)" = "$target" ]; then
      kill -KILL "${pid#/proc/}" 2>/dev/null || true
    fi
  done
}

unmount_root() {
  end_processes_in_root
  local point
  for point in $(mounts_below "$target"); do
    umount "$point" 2>/dev/null || umount -l "$point" || true
  done
}

finish() {
  local status=$?
  trap - EXIT INT TERM
  unmount_root
  remove_unmounted "$target" || status=1
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT TERM

# The host's Debian mirror, from its package sources.
mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
  grep -v '^[[:space:]]*#' | grep -oE 'https?://[^ ]+/debian/?' | head -n 1) || true
mirror=${mirror:-http://deb.debian.org/debian}

step_started=0
step() { step_started=$(date +%s); echo "== $1"; }
took() { echo "== $1 took $(( $(date +%s) - step_started )) s"; times+=("$1: $(( $(date +%s) - step_started )) s"); }
times=()

scripts/install-deps.sh debootstrap
unmount_root
remove_unmounted "$target"

step "debootstrap --variant=minbase $suite from $mirror"
debootstrap --variant=minbase --include=make,git "$suite" "$target" "$mirror" > build/fresh-root.log 2>&1 ||
  { tail -n 20 build/fresh-root.log; exit 1; }
# The host's package sources (in place of debootstrap's) and apt settings,
# and its name service.
rm -f "$target/etc/apt/sources.list"
cp -r /etc/apt/sources.list.d /etc/apt/apt.conf.d "$target/etc/apt/"
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$target/etc/apt/"
cp -L /etc/resolv.conf "$target/etc/resolv.conf"
mount -t proc proc "$target/proc"
mount -t sysfs sysfs "$target/sys"
mount --bind /dev "$target/dev"
mount --bind /dev/pts "$target/dev/pts"
mount -t tmpfs tmpfs "$target/dev/shm"
[ -z "$(git status --porcelain)" ] || echo "note: uncommitted changes are not part of this check"
git clone -q --no-local "$repo" "$target/root/VornOption"
took "pristine root"

# Run in the background and waited for, so that a signal to this script is
# handled at once and not only when the command ends.
in_root() {
  chroot "$target" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /root/VornOption && $1" &
  wait $!
}
step "make demo"
in_root "make demo"
took "make demo"
step "make test"
in_root "make test"
took "make test"

# The packages built on the new machine are the host's, byte for byte.
step "the packages against the host's"
mapfile -t host < <(scripts/dist.sh build/win32 build/dist 2>/dev/null)
for zip in "${host[@]}"; do
  fresh=$target/root/VornOption/build/dist/$(basename "$zip")
  [ -f "$fresh" ] || { echo "no $(basename "$zip") on the new machine (uncommitted changes here?)"; exit 1; }
  a=$(sha256sum < "$zip" | cut -d' ' -f1)
  b=$(sha256sum < "$fresh" | cut -d' ' -f1)
  echo "  $(basename "$zip"): $a"
  [ "$a" = "$b" ] || { echo "  differs on the new machine: $b"; exit 1; }
done
took "the packages against the host's"

echo "fresh-check passed on a pristine $suite root:"
printf '  %s\n' "${times[@]}"
