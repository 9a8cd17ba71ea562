#!/usr/bin/env bash
# Runs the README's two commands as a newcomer would, in a brand-new minimal
# Debian: scripts/fresh-debian.sh bookworm|trixie [COMMAND]
#
# The base system (debootstrap --variant=minbase, with RELEASE-updates and
# RELEASE-security in its sources, as on an installed system, plus the git and
# make a newcomer has before the README's first command) is made once and
# kept as a tarball under ${XDG_CACHE_HOME:-~/.cache}/tavimo/; every run unpacks
# it into a new folder, clones this tree's HEAD into it and runs COMMAND there
# as root (default: time make demo, then time make test). The folder is removed
# afterwards unless KEEP=1. Needs root (debootstrap and chroot), a Debian
# mirror (DEBIAN_MIRROR, default deb.debian.org) and about 4 GB of disk.
set -euo pipefail
release=${1:?usage: scripts/fresh-debian.sh bookworm|trixie [COMMAND]}
shift
command=${*:-'time make demo && time make test'}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
security=${DEBIAN_SECURITY_MIRROR:-http://deb.debian.org/debian-security}
cache="${XDG_CACHE_HOME:-$HOME/.cache}/tavimo"
base="$cache/debian-$release-minbase.tar.gz"

say() { echo "fresh-debian: $*" >&2; }

if [ "$(id -u)" != 0 ]; then
  say "needs root (debootstrap and chroot): sudo $0 $release"
  exit 2
fi

if [ ! -f "$base" ]; then
  command -v debootstrap >/dev/null || apt-get install -y -qq --no-install-recommends debootstrap
  say "making a minimal Debian $release once for this machine (a few minutes): $base"
  mkdir -p "$cache"
  tmp=$(mktemp -d "$cache/debootstrap-$release.XXXXXX")
  debootstrap --variant=minbase --include=git,make,ca-certificates "$release" "$tmp" "$mirror" >"$tmp.log" 2>&1 ||
    { tail -n 20 "$tmp.log" >&2; rm -rf "$tmp"; say "debootstrap failed ($tmp.log)"; exit 1; }
  cat >"$tmp/etc/apt/sources.list" <<EOF
deb $mirror $release main
deb $mirror $release-updates main
deb $security $release-security main
EOF
  rm -rf "$tmp"/var/cache/apt/archives/*.deb
  tar -C "$tmp" -czf "$base.part" . && mv "$base.part" "$base"
  rm -rf "$tmp" "$tmp.log"
fi

dir=$(mktemp -d "${FRESH_DEBIAN_DIR:-/var/tmp}/tavimo-$release.XXXXXX")
chmod 755 "$dir"
mounted=()
cleanup() {
  # Whatever the run left going inside (Xvfb, wineserver) holds the mounts.
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$dir" ] && kill -9 "$pid" 2>/dev/null
  done
  sleep 1
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" || true; done
  if [ "${KEEP:-0}" = 1 ]; then say "kept $dir"; else rm -rf --one-file-system "$dir"; fi
}
trap cleanup EXIT

say "unpacking Debian $release into $dir"
tar -C "$dir" -xzf "$base"
cp /etc/resolv.conf "$dir/etc/resolv.conf" 2>/dev/null || true
for m in proc sys dev dev/pts; do
  case $m in
    proc) mount -t proc proc "$dir/proc" ;;
    sys) mount -t sysfs sys "$dir/sys" ;;
    dev) mount --bind /dev "$dir/dev" ;;
    dev/pts) mount -t devpts -o newinstance,ptmxmode=0666 devpts "$dir/dev/pts" ;;
  esac
  mounted+=("$dir/$m")
done

say "cloning $(git -C "$root" rev-parse --short HEAD) into $dir/root/tavimo"
git clone -q "$root" "$dir/root/tavimo"

say "running in Debian $release: $command"
start=$SECONDS
status=0
chroot "$dir" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c "cd /root/tavimo && $command" || status=$?
say "Debian $release: exit $status after $((SECONDS - start)) s"
exit "$status"
