#!/usr/bin/env bash
# Runs a 64-bit (or, with the 32-bit handler registered, a 32-bit) Windows program under Wine, in a
# prefix of its own, headless, and passes its exit code through.
# usage: wine-run.sh PREFIX PROGRAM [ARGS...]
#
# Why it looks like this:
# - the prefix is set up once, under a lock, with the null graphics driver (no X display needed)
#   and unmanaged windows (else every dialog close waits for a window manager);
# - a persistent wineserver makes each later start fast;
# - the program's output goes to files first: Wine's helper processes inherit stdout/stderr and
#   outlive the program, which would keep CTest waiting;
# - the lock descriptor is closed for every command, or the wineserver inherits it and holds it.
set -u
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64
[ -x "$wine" ] || { echo "wine-run: Wine's 64-bit half is not installed ($wine, package wine64): scripts/install-deps.sh test" >&2; exit 1; }

mkdir -p "$prefix"
(
  flock 9
  if [ ! -f "$prefix/.quindle-ready" ]; then
    "$wine" wineboot --init >/dev/null 2>&1 9>&-
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 9>&-
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 9>&-
    "$server" -k 9>&- 2>/dev/null
    "$server" -w 9>&-
    touch "$prefix/.quindle-ready"
  fi
  "$server" -p120 >/dev/null 2>&1 9>&-
) 9>"$prefix/.lock"

# A test of what the program does with its own streams (a pipe whose reader goes away) needs them
# as they are: QUINDLE_WINE_DIRECT_STREAMS=1 hands them over, and the caller stops reading when it
# has what it wants rather than waiting for Wine's helpers to let go of them.
if [ -n "${QUINDLE_WINE_DIRECT_STREAMS:-}" ]; then
  exec "$wine" "$@"
fi

out=$(mktemp) err=$(mktemp)
"$wine" "$@" >"$out" 2>"$err" </dev/null
status=$?
# Now and then Wine fails to start a program at all when several start at once: it exits
# non-zero having printed nothing. Every program run here prints something when it really runs
# (a test suite its banner, a failing command its error), so such a silent failure is tried again.
for _ in 1 2; do
  [ $status -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ] || break
  sleep 1
  "$wine" "$@" >"$out" 2>"$err" </dev/null
  status=$?
done
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $status
