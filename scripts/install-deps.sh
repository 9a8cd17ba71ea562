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
)

sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine maps LANG to the ANSI code page; ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "install-deps: generating the ja_JP.UTF-8 locale"
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
