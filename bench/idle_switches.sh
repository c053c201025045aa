#!/usr/bin/env bash
# Idle cost: context switches per second of all threads of Quorvel.exe over a minute of idling, side by
# side with the minimal tray program (reference_app.exe), read from /proc (each Windows process is a
# Linux process). Hidden in the tray, shown with the pointer away from every window, and hidden with
# the automatic change on while the session is locked (and, for contrast, not locked).
# Usage: bench/idle_switches.sh [SECONDS]   (after scripts/build; runs under Xvfb in the test prefix)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
. scripts/env.sh
export WINEPREFIX=${TAVOLIN_IDLE_PREFIX:-$BUILD_ROOT/wine-test}
. scripts/xvfb.sh
bin="$BUILD_ROOT/win64/bin"
app=$(mktemp -d /tmp/tavolin-idle.XXXXXX)
mkdir -p "$app/Tavolin壁纸"
convert -size 64x48 xc:'#4080c0' "$app/Tavolin壁纸/a.jpg" && cp "$app/Tavolin壁纸/a.jpg" "$app/Tavolin壁纸/b.jpg" || true
cp "$bin/Quorvel.exe" "$bin/Quorvel.htm" "$bin/reference_app.exe" "$app/"
start_xvfb
trap 'wineserver -k >/dev/null 2>&1 || true; stop_xvfb; rm -rf "$app"' EXIT
bash scripts/wine-prefix >/dev/null 2>&1 || true

# The Linux process of a program started from $app (its command line is its path).
pid_of() { pgrep -n -f "^$app/$1" || pgrep -n -f "[A-Z]:.*tavolin-idle.*$1" || true; }
# Context switches so far, voluntary and not, summed over every thread of process $1.
switches() {
  local total=0 n
  for f in /proc/"$1"/task/*/status; do
    n=$(awk '/ctxt_switches/ {s += $2} END {print s + 0}' "$f" 2>/dev/null || echo 0)
    total=$((total + n))
  done
  echo "$total"
}
measure() { # label reference-args tavolin-hidden [1: automatic change on and locked, 2: on alone]
  local label=$1 refargs=$2 hide=$3 locked=${4:-0}
  wine "$app/reference_app.exe" $refargs &
  wine "$app/Quorvel.exe" &
  sleep 15 # start-up, the other tabs built, the first sizes walked
  if [ "$hide" = 1 ]; then wine "$app/reference_app.exe" close TavolinMainWindow; fi
  if [ "$locked" != 0 ]; then
    # The automatic change on ("自动更换壁纸", 1020), then the session locked (WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK).
    wine "$app/reference_app.exe" post TavolinMainWindow 0x111 1020
    sleep 5
    if [ "$locked" = 1 ]; then wine "$app/reference_app.exe" post TavolinMainWindow 0x2B1 7; fi
  fi
  wine "$app/reference_app.exe" pointer || true
  sleep 5
  local q r q0 r0 q1 r1
  q=$(pid_of Quorvel.exe); r=$(pid_of reference_app.exe)
  q0=$(switches "$q"); r0=$(switches "$r")
  echo "  Quorvel.exe pid $q: $q0 switches since start; reference_app.exe pid $r: $r0"
  sleep "$seconds"
  q1=$(switches "$q"); r1=$(switches "$r")
  awk -v l="$label" -v q=$((q1 - q0)) -v r=$((r1 - r0)) -v s="$seconds" 'BEGIN {
    printf "%s: Quorvel.exe %.2f/s, minimal tray program %.2f/s, difference %.2f/s\n", l, q / s, r / s, (q - r) / s }'
  wineserver -k >/dev/null 2>&1 || true
  sleep 2
}
measure "hidden in the tray (goal: difference <= 0.5)" hidden 1
measure "shown, pointer away (goal: difference <= 1)" "" 0
measure "hidden, automatic change on, session locked (goal: difference 0)" hidden 1 1
measure "hidden, automatic change on, not locked (for contrast)" hidden 1 2
