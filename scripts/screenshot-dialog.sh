#!/usr/bin/env bash
# Takes a PNG screenshot of the settings dialog as Windows users see it: the 64-bit host opens
# the module's dialog under Wine on an X server in memory (Xvfb, 1024 x 768), and ImageMagick
# grabs the dialog's window.
# usage: screenshot-dialog.sh [OUTPUT.png]   (default: docs/settings-dialog.png)
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-docs/settings-dialog.png}
mkdir -p "$(dirname "$output")"

scripts/install-deps.sh screenshot
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target quindle-host Quindle >/dev/null

# A prefix of its own with Wine's X11 driver: the test prefix draws nothing.
export WINEPREFIX=$PWD/build/win64/screenshot-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export output
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  wine=/usr/lib/wine/wine64
  [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
  # Wine draws the caption buttons with the Marlett font; without it the close box shows an "r".
  # Debian ships it in fonts-wine, in a folder this Wine does not look in: the prefix gets a copy.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  # A Wine desktop of its own, so that Wine draws the frame and caption itself (there is no window
  # manager here); the shot is then cut down to the dialog.
  "$wine" explorer /desktop=QuindleShot,480x360 build/win64/bin/quindle-host.exe \
    --settings-key "Software\\Quindle Screenshot" configure >/dev/null 2>&1 &
  for _ in $(seq 1 300); do
    id=$(xwininfo -root -tree | awk "/QuindleShot/ {print \$1; exit}")
    [ -n "$id" ] && break
    sleep 0.1
  done
  # Until the dialog has been drawn the trimmed desktop is nearly empty.
  width=0
  for _ in $(seq 1 60); do
    sleep 1
    [ -n "$id" ] || break
    import -window "$id" -trim +repage "$output"
    width=$(identify -format %w "$output")
    [ "$width" -gt 100 ] && break
  done
  sleep 1
  [ "$width" -gt 100 ] && import -window "$id" -trim +repage "$output"
  /usr/lib/wine/wineserver64 -k
  [ "$width" -gt 100 ]
'
echo "screenshot-dialog: wrote $output"
