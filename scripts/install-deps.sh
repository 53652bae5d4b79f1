#!/usr/bin/env bash
# Installs, from Debian's packages, whatever this machine lacks to build and test Quindle:
# both MinGW-w64 cross compilers, Wine (64-bit and its 32-bit half), qemu's user-mode emulator
# for the 32-bit run, GoogleTest sources, Google Benchmark, clang for fuzzing, and word lists.
# Only missing packages are installed; nothing is done when everything is present.
# usage: install-deps.sh [native|screenshot]
#   native: only what the Linux build and the demo need
#   screenshot: what scripts/screenshot-dialog.sh needs (an X server in memory, ImageMagick)
set -euo pipefail

native_packages=(cmake ninja-build make g++ googletest python3)
packages=("${native_packages[@]}")
if [ "${1:-all}" = screenshot ]; then
  packages=(xvfb imagemagick x11-utils fonts-wine)
elif [ "${1:-all}" != native ]; then
  packages+=(
    clang libclang-rt-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    wine wine64 wine32:i386 qemu-user
    wamerican valgrind file
  )
fi

missing=()
need_i386=0
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
    [[ $p == *:i386 ]] && need_i386=1
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is present"
  exit 0
fi

echo "install-deps: missing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: cannot install as a normal user; run as root: apt-get install ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [ $need_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
if ! apt-get update -qq; then
  echo "install-deps: apt-get update failed (no network to Debian's mirrors?)" >&2
  exit 1
fi
if ! apt-get install -y -qq --no-install-recommends "${missing[@]}" >/tmp/quindle-apt.log 2>&1; then
  tail -n 20 /tmp/quindle-apt.log >&2
  echo "install-deps: apt-get install failed; see /tmp/quindle-apt.log" >&2
  exit 1
fi
echo "install-deps: installed ${missing[*]}"
