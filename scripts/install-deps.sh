#!/usr/bin/env bash
# Installs what building and testing Tavimo needs on Debian 12 or 13, and
# nothing twice. Safe to run again: it asks apt only for packages that are
# missing. Every name below is one both releases have (no version in a name
# that only one release carries).
#
# A Debian mirror mid-sync can leave one index out of step with its Release
# file (seen for the security archive's i386 index); `apt-get update` then exits
# 100 although every other index is fine, and a plain install of multi-arch
# packages fails. So a failed update is retried and then let be, and a failed
# install is tried once more with the release's own versions (-t CODENAME).
# When it still fails, the message tells apart a package this release does not
# have, a failed index update, and anything else.
set -euo pipefail

packages=(
  cmake ninja-build g++ make libgtest-dev libstb-dev    # native test bed
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686     # the real 32-bit DLL
  wine wine32:i386 xvfb xauth locales                  # running it under Wine
  clang libclang-rt-dev                                # fuzzing and sanitizers
  clang-format clang-tidy                              # make format and make lint
  fonts-ipafont-gothic                                 # Japanese menu and title text in screenshots
  fonts-wine                                           # Wine's Marlett: caption buttons in window screenshots
  zip unzip                                            # the release zip (make dist) and the install test
  xdotool x11-apps python3                             # real input: XTest events, xwd screenshots, the driver
)

# Seconds before the second and third update try (the test sets 0).
pause=${INSTALL_DEPS_PAUSE:-10}
os_release=${INSTALL_DEPS_OS_RELEASE:-/etc/os-release}
codename=$(. "$os_release" 2>/dev/null && echo "${VERSION_CODENAME:-}") || codename=""

sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi

log=$(mktemp)
update_log=$(mktemp)
trap 'rm -f "$log" "$update_log"' EXIT

# Runs an apt or dpkg command with its pages of output kept in $log, saying
# every minute that it is still going (a first install takes minutes).
quiet() {
  local status=0
  (
    n=0
    trap 'kill "$nap" 2>/dev/null; exit 0' TERM
    while :; do
      sleep 60 >/dev/null 2>&1 &
      nap=$!
      wait "$nap"
      n=$((n + 60))
      echo "install-deps: $1 $2 still running, $n s so far" >&2
    done
  ) &
  local ticker=$!
  $sudo env DEBIAN_FRONTEND=noninteractive "$@" >"$log" 2>&1 || status=$?
  kill "$ticker" 2>/dev/null
  wait "$ticker" 2>/dev/null
  return "$status"
}

apt_errors() { grep -E '^(E|Err|W):' "$1" | head -n 6 | sed 's/^/  /' || true; }

# A few lines a person can act on, then exit non-zero: the packages this
# release does not have, or the failed update with the mirror hint, or apt's
# own lines.
give_up() {
  local step=$1 what=$2 absent
  absent=$(sed -nE "s/^E: Unable to locate package (.*)$/\1/p; s/^E: Package '(.*)' has no installation candidate$/\1/p" "$log" |
    sort -u | tr '\n' ' ')
  {
    echo "install-deps: failed: $step"
    if [ -s "$update_log" ]; then
      echo "install-deps: could not install: $what"
      apt_errors "$log"
      echo "install-deps: apt-get update failed before it:"
      apt_errors "$update_log"
      echo "install-deps: a Debian mirror may be mid-sync: try again later, or use another mirror in /etc/apt/sources.list"
    elif [ -n "$absent" ]; then
      echo "install-deps: Debian ${codename:-of this machine} has no package ${absent% }"
      echo "install-deps: this release is not one the list in scripts/install-deps.sh is made for (Debian 12 or 13)"
    else
      echo "install-deps: could not install: $what"
      apt_errors "$log"
    fi
  } >&2
  exit 1
}

install_missing() {
  local -a missing=("$@")
  local tries
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    quiet dpkg --add-architecture i386 || give_up "dpkg --add-architecture i386" "${missing[*]}"
  fi
  : >"$update_log"
  for tries in 1 2 3; do
    if quiet apt-get update -qq; then
      : >"$update_log"
      break
    fi
    cp "$log" "$update_log"
    if [ "$tries" = 3 ]; then
      echo "install-deps: apt-get update failed 3 times; installing from the indexes it has" >&2
    else
      sleep $((pause * tries))
    fi
  done
  quiet apt-get install -y -qq --no-install-recommends "${missing[@]}" && return 0
  # Only a failed update leaves indexes out of step; then the release's own
  # versions may still install.
  if [ ! -s "$update_log" ] || [ -z "$codename" ]; then give_up "apt-get install" "${missing[*]}"; fi
  quiet apt-get install -y -qq --no-install-recommends -t "$codename" "${missing[@]}" ||
    give_up "apt-get install (also with -t $codename)" "${missing[*]}"
  echo "install-deps: the security archive could not be read, so some packages are $codename's own versions; 'apt-get upgrade' later brings them up to date"
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "install-deps: installing ${missing[*]} (once per machine; a few minutes on a new one)"
  install_missing "${missing[@]}"
fi

# Wine maps LANG to the ANSI code page; ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "install-deps: generating the ja_JP.UTF-8 locale"
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

# Wine's loader is a 32-bit x86 program. A kernel without 32-bit x86 support
# refuses to start it ("Exec format error"); there qemu's user-mode emulator
# runs it instead, registered for 32-bit x86 programs (slow, but complete).
if [ -e /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  if ! installed qemu-user-static; then
    echo "install-deps: this kernel cannot run 32-bit programs; installing qemu-user-static for Wine"
    install_missing qemu-user-static
  fi
  if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    $sudo mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  fi
  if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    echo "install-deps: registering qemu-i386-static for 32-bit x86 programs"
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      | $sudo tee /proc/sys/fs/binfmt_misc/register >/dev/null
  fi
fi
