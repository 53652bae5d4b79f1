#!/usr/bin/env bash
# Installs, from Debian's packages, what this machine lacks for one purpose, and no more.
# usage: install-deps.sh [native|package|bench|fuzz|test|screenshot]   (default: test)
#   native      the Linux build and the demo: compilers, CMake, GoogleTest
#   package     the three archives: the native build and both MinGW-w64 cross compilers
#   bench       the native build and Google Benchmark, and both for 32-bit Linux (a row of the table)
#   fuzz        the native build and clang with its fuzzing run-time
#   test        everything the suites use: the above, Wine (both halves), qemu, valgrind, a word list,
#               and the ja_JP.UTF-8 locale (under it Wine runs Windows programs in code page 932)
#   screenshot  the 64-bit build with Wine, an X server in memory and ImageMagick
#
# Debian's mirror is sometimes in the middle of a sync for hours: one list fails to download and the
# i386 and amd64 halves of a Multi-Arch library stop matching. So a failed list does not stop the
# install: it goes on with the lists apt has, and where an install then fails it tries again
# preferring the release's own suite, whose two halves always agree. A part that still cannot be
# installed costs only what needs it: each such part is one line of build/install-deps.status,
#   PART <TAB> skip|fail <TAB> reason
# "skip" when Debian's mirror could not supply it, "fail" for any other reason. scripts/run-tests.sh
# reads it. The exit status is 1 when a part could not be installed, 0 otherwise.
set -uo pipefail
cd "$(dirname "$0")/.."

purpose=${1:-test}
pause=${QUINDLE_APT_RETRY_PAUSE:-10}  # seconds between tries of `apt-get update`
status_file=build/install-deps.status
log=build/install-deps.log

declare -A packages_of=(
  [build]="cmake ninja-build make g++ googletest python3"
  [bench]="libbenchmark-dev"
  [bench32]="g++-multilib libbenchmark-dev:i386"
  [mingw]="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686"
  [wine64]="wine wine64"
  [wine32]="wine32:i386 qemu-user:amd64"
  [fuzz]="clang libclang-rt-dev"
  [checks]="valgrind strace file wamerican"
  [locale]="locales"
  [screenshot]="xvfb imagemagick x11-utils fonts-wine"
)
declare -A name_of=(
  [build]="the native compilers and CMake"
  [bench]="Google Benchmark"
  [bench32]="the 32-bit compilers and Google Benchmark's i386 half"
  [mingw]="the MinGW-w64 cross compilers"
  [wine64]="Wine's 64-bit half"
  [wine32]="Wine's 32-bit half"
  [fuzz]="clang with its fuzzing run-time"
  [checks]="valgrind, strace, file and the word list"
  [locale]="the locales"
  [screenshot]="Xvfb, ImageMagick and Wine's fonts"
)
case $purpose in
  native) parts=(build) ;;
  package) parts=(build mingw) ;;
  bench) parts=(build bench checks bench32) ;;
  fuzz) parts=(build fuzz) ;;
  test) parts=(build bench mingw wine64 wine32 fuzz checks locale) ;;
  screenshot) parts=(build mingw wine64 screenshot) ;;
  *) echo "usage: install-deps.sh [native|package|bench|fuzz|test|screenshot]" >&2; exit 2 ;;
esac

say() { echo "install-deps: $*"; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

mkdir -p build
: >"$status_file"
: >"$log"

record() {  # record PART skip|fail REASON
  printf '%s\t%s\t%s\n' "$1" "$2" "$3" >>"$status_file"
}

# The locales the suites run under, generated where the system lacks them, once their package is
# there. Ends the script with STATUS, or 1 when a locale could not be generated.
finish() {  # finish STATUS
  local status=$1 wanted
  if [[ " ${parts[*]} " == *" locale "* ]] && installed locales; then
    for wanted in ja_JP.UTF-8; do
      # `locale -a` names ja_JP.UTF-8 "ja_JP.utf8".
      locale -a 2>/dev/null | grep -qix "${wanted%%.*}.utf8" && continue
      if [ "$(id -u)" -ne 0 ]; then
        record locale fail "the $wanted locale is not generated, and only root can generate it (localedef -i ${wanted%%.*} -f UTF-8 $wanted)"
        status=1
      elif localedef -i "${wanted%%.*}" -f UTF-8 "$wanted" >>"$log" 2>&1; then
        say "generated the $wanted locale"
      else
        record locale fail "the $wanted locale could not be generated: localedef failed (see $log)"
        status=1
      fi
    done
  fi
  exit "$status"
}

declare -A missing_of=()
all_missing=()
for part in "${parts[@]}"; do
  for p in ${packages_of[$part]}; do
    if ! installed "$p"; then
      missing_of[$part]+="$p "
      all_missing+=("$p")
    fi
  done
done
if [ ${#all_missing[@]} -eq 0 ]; then
  say "everything for '$purpose' is present"
  finish 0
fi
say "missing for '$purpose': ${all_missing[*]}"

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: cannot install as a normal user; as root: apt-get install ${all_missing[*]}" >&2
  for part in "${!missing_of[@]}"; do
    record "$part" fail "${name_of[$part]} is not installed (${missing_of[$part]% }) and only root can install it"
  done
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [[ " ${all_missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  say "added the i386 architecture, for Wine's 32-bit half"
fi

# A list that fails to download is most often a mirror in the middle of a sync: try again after a
# pause, then go on with the lists apt already has.
failed_lists=()
updated=0
for try in 1 2 3; do
  if apt-get update -qq >build/apt-update.log 2>&1; then
    failed_lists=()
    updated=1
    break
  fi
  cat build/apt-update.log >>"$log"
  # "host/path/dists/suite/.../Packages.xz: reason", one per list that failed.
  mapfile -t failed_lists < <(grep -oE 'Failed to fetch [^ ]+ +[^[]*' build/apt-update.log |
                                sed -E 's#^Failed to fetch [a-z]+://##; s/ +/: /; s/ +$//' | sort -u)
  if [ "$try" -lt 3 ]; then
    say "apt-get update failed (try $try of 3: ${#failed_lists[@]} list(s) did not download); trying again in ${pause} s"
    sleep "$pause"
  fi
done
if [ ${#failed_lists[@]} -gt 0 ]; then
  say "going on with the lists apt has; ${#failed_lists[@]} list(s) failed to download three times:"
  for list in "${failed_lists[@]}"; do say "  $list"; done
elif [ $updated -eq 0 ]; then
  why=$(grep -m1 -E '^E: ' build/apt-update.log | sed -E 's/^E: //')
  say "apt-get update failed three times (${why:-no reason given}); going on with the lists apt has"
fi

# Why a part may have failed: a failed list of its architecture, else apt's own first error.
cause_for() {  # cause_for PACKAGES...
  local arch=amd64 list
  [[ " $*" == *:i386* ]] && arch=i386
  for list in "${failed_lists[@]}"; do
    if [[ ${list%%: *} == *binary-$arch/* || ${list%%: *} == *Release ]]; then
      echo "the $arch list failed to download (${list%%: *})"
      return
    fi
  done
  list=$(grep -m1 -E '^E: ' build/apt-install.log | sed -E 's/^E: //')
  echo "apt-get install failed: ${list:-no reason given}"
}

release=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
# Never removes a package to make room: a failed attempt changes nothing.
try_install() {  # try_install [APT OPTIONS] PACKAGES...
  apt-get install -y -q --no-install-recommends --no-remove "$@" >build/apt-install.log 2>&1
  local status=$?
  cat build/apt-install.log >>"$log"
  return $status
}
# The Multi-Arch libraries the resolver passed over, both halves named at the version the release's
# own list has for the foreign half (an installed native half from the security suite is taken back
# to it, or the two could never match).
passed_over() {
  local dep name version
  for dep in $(grep -E 'but it is not (going to be installed|installable)' build/apt-install.log |
               grep -oE 'Depends: [^ ]+' | sed -E 's/^Depends: //' | sort -u); do
    name=${dep%%:*}
    [[ $dep == *:* ]] || { echo "$dep"; continue; }
    version=$(apt-cache madison "$dep" | awk -F' [|] ' -v r="$release/" 'index($3, r) { print $2; exit }')
    if [ -z "$version" ]; then echo "$dep"; continue; fi
    echo "$dep=$version"
    installed "$name:amd64" && echo "$name:amd64=$version"
  done
}

if try_install "${all_missing[@]}"; then
  say "installed ${all_missing[*]}"
  finish 0
fi
if [ -n "$release" ]; then
  say "installing everything at once failed ($(cause_for "${all_missing[@]}")); trying again preferring $release's own suite, so both halves of each Multi-Arch library come from one list"
  if try_install -t "$release" "${all_missing[@]}"; then
    say "installed from $release: ${all_missing[*]}"
    finish 0
  fi
fi
say "that failed too ($(cause_for "${all_missing[@]}")); trying each part on its own"

status=0
for part in "${parts[@]}"; do
  wanted=(${missing_of[$part]:-})
  [ ${#wanted[@]} -gt 0 ] || continue
  if try_install "${wanted[@]}"; then
    say "installed ${name_of[$part]}: ${wanted[*]}"
    continue
  fi
  done_here=0
  if [ -n "$release" ]; then
    named=()
    for round in 1 2 3; do
      if try_install -t "$release" --allow-downgrades "${wanted[@]}" "${named[@]}"; then
        done_here=1
        break
      fi
      more=($(passed_over))
      [ ${#more[@]} -gt 0 ] || break
      named+=("${more[@]}")
      say "${name_of[$part]}: trying $release's own suite with the libraries the resolver passed over named, both halves at one version: ${named[*]}"
    done
  fi
  if [ $done_here -eq 1 ]; then
    say "installed ${name_of[$part]} from $release: ${wanted[*]}"
    continue
  fi
  still=()
  for p in "${wanted[@]}"; do installed "$p" || still+=("$p"); done
  reason="${name_of[$part]} could not be installed (${still[*]}): $(cause_for "${still[@]}")"
  say "$reason"
  # Without the native build nothing runs at all: that is never a skip.
  if [ "$part" = build ]; then record "$part" fail "$reason"; else record "$part" skip "$reason"; fi
  status=1
done
finish $status
