#!/usr/bin/env bash
# Installs what building and testing Tavimo needs on Debian, and nothing twice.
# Safe to run again: it asks apt only for packages that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make libgtest-dev libstb-dev    # native test bed
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686     # the real 32-bit DLL
  wine wine32:i386 xvfb xauth locales                  # running it under Wine
  clang libclang-rt-14-dev                             # fuzzing and sanitizers
  fonts-ipafont-gothic                                 # Japanese menu and title text in screenshots
  fonts-wine                                           # Wine's Marlett: caption buttons in window screenshots
  zip unzip                                            # the release zip (make dist) and the install test
  xdotool x11-apps python3                             # real input: XTest events, xwd screenshots, the driver
)

sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi

# apt and dpkg print pages while they work: keep it in a log and show it only
# when a step fails, so errors stay visible and a good run prints one line.
apt_quiet() {
  local log
  log=$(mktemp)
  if ! $sudo env DEBIAN_FRONTEND=noninteractive "$@" >"$log" 2>&1; then
    echo "install-deps: failed: $*" >&2
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    apt_quiet dpkg --add-architecture i386
  fi
  apt_quiet apt-get update -qq
  apt_quiet apt-get install -y -qq --no-install-recommends "${missing[@]}"
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
  if ! dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q "install ok installed"; then
    echo "install-deps: this kernel cannot run 32-bit programs; installing qemu-user-static for Wine"
    apt_quiet apt-get update -qq
    apt_quiet apt-get install -y -qq --no-install-recommends qemu-user-static
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
