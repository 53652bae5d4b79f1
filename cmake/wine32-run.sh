#!/usr/bin/env bash
# Runs a 32-bit Windows program for real on a kernel without 32-bit support: qemu-i386 is
# registered through binfmt_misc for Wine's 32-bit half, for this run only, and removed after
# (while it is registered, setting up any new 64-bit prefix gets very slow). Each process start
# costs tens of seconds, so callers run whole suites in one process. Needs root.
# usage: wine32-run.sh PREFIX PROGRAM [ARGS...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
binfmt=/proc/sys/fs/binfmt_misc
handler=$binfmt/qemu-i386
qemu=/usr/bin/qemu-i386
# Both halves are looked for before anything runs: without them a suite would fail later with
# nothing to say why.
wine32_part=/usr/lib/i386-linux-gnu/wine/i386-unix/ntdll.so
"$qemu" --version >/dev/null 2>&1 || { echo "wine32-run: qemu's user-mode emulator is not installed ($qemu, package qemu-user): scripts/install-deps.sh test" >&2; exit 1; }
[ -e "$wine32_part" ] || { echo "wine32-run: Wine's 32-bit half is not installed ($wine32_part, package wine32:i386): scripts/install-deps.sh test" >&2; exit 1; }

exec 8>/tmp/quindle-wine32.lock
flock 8
registered_here=0
cleanup() {
  if [ $registered_here -eq 1 ] && [ -e "$handler" ]; then echo -1 >"$handler"; fi
}
trap cleanup EXIT INT TERM

if [ ! -e "$binfmt/register" ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
    { echo "wine32-run: cannot mount binfmt_misc (needs root)" >&2; exit 1; }
fi
if [ ! -e "$handler" ]; then
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":qemu-i386:M::$magic:$mask:$qemu:F" >"$binfmt/register" ||
    { echo "wine32-run: cannot register qemu-i386 with binfmt_misc" >&2; exit 1; }
  registered_here=1
fi

"$here/wine-run.sh" "$@" 8>&-
