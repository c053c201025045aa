# Shared environment of the scripts: where things are built and how Wine runs.
BUILD_ROOT=${BUILD_ROOT:-$PWD/build}
export WINEPREFIX=${WINEPREFIX:-$BUILD_ROOT/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
export LANG=zh_CN.UTF-8
{ export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
