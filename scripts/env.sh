# Shared environment of the scripts: where things are built and how Wine runs.
BUILD_ROOT=${BUILD_ROOT:-$PWD/build}
# The tests get a prefix of their own, so that what they do to the desktop (the wallpaper, the
# registry) never shows in the prefix the program is run in.
export WINEPREFIX=${WINEPREFIX:-$BUILD_ROOT/${TAVOLIN_PREFIX:-wine}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
export LANG=zh_CN.UTF-8
{ export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
# The program's version as res/version.h writes it ("1.5.189").
tavolin_version() {
  local part v=""
  for part in MAJOR MINOR REVISION; do
    v+="${v:+.}$(sed -n "s/^#define TAVOLIN_VERSION_$part \+\([0-9]\+\)\$/\1/p" res/version.h)"
  done
  echo "$v"
}
