#!/usr/bin/env bash
# Builds the shipping presets and collects one archive per platform in dist/:
# Quindle-<version>-win32.zip, Quindle-<version>-win64.zip, Quindle-<version>-Linux-x86_64.tar.gz.
# cpack stages its files beside the archive, so each preset packs into its own build folder and
# only the archive is copied out.
# usage: make-packages.sh [PRESET...]   (default: win32 win64 native)
set -euo pipefail
shopt -s nullglob
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(win32 win64 native)

mkdir -p build dist
for preset in "${presets[@]}"; do
  echo "=== $preset: configure, build and pack"
  if ! cmake --preset "$preset" >"build/$preset.configure.log" 2>&1; then
    tail -n 30 "build/$preset.configure.log"
    echo "make-packages: configuring $preset failed" >&2
    exit 1
  fi
  cmake --build --preset "$preset"
  packed=build/$preset/packages
  rm -rf "$packed"
  (cd "build/$preset" && cpack -B "$PWD/packages")
  archives=("$packed"/Quindle-*.zip "$packed"/Quindle-*.tar.gz)
  [ ${#archives[@]} -eq 1 ] || { echo "make-packages: $preset made ${#archives[@]} archives" >&2; exit 1; }
  cp "${archives[0]}" dist/
done
echo
ls -l dist
