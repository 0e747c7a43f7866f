#!/usr/bin/env bash
# Installs the build and test tools on a Debian machine. Safe to run again.
set -euo pipefail

need=()
have() { dpkg -s "$1" >/dev/null 2>&1; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  updated=0
fi

pkgs=(g++-mingw-w64-i686 wine wine32:i386 xvfb xauth cmake ninja-build
      googletest clang imagemagick fonts-ipafont-gothic locales python3 fp-utils libchm-bin)
# Wine's symbol font for the caption buttons; a display of several monitors
# (Xorg's dummy driver) and the X libraries 32-bit Wine needs to see them.
pkgs+=(fonts-wine xserver-xorg-core xserver-xorg-video-dummy libxinerama1:i386 libxrandr2:i386)
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done

# libFuzzer and the sanitizer runtimes come with clang's runtime package.
clangver=$(clang --version 2>/dev/null | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -1)
if [ -n "${clangver:-}" ]; then
  have "libclang-rt-${clangver}-dev" || need+=("libclang-rt-${clangver}-dev")
fi

if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
  if [ -z "${clangver:-}" ]; then
    clangver=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -1)
    have "libclang-rt-${clangver}-dev" || $SUDO apt-get install -y -qq --no-install-recommends "libclang-rt-${clangver}-dev"
  fi
fi

# Wine reports code page 932 only with a Japanese locale in its environment.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  if [ -f /etc/locale.gen ]; then
    $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
  fi
fi
echo "setup: tools ready"
