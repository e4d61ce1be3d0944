#!/usr/bin/env bash
# Starts the real trimlet executable in a virtual X server, waits for its main window and
# saves a screenshot of the screen.
# usage: trimlet_smoke.sh EXECUTABLE WINDOW_TITLE OUT.png
# Exits 77 (skipped) where Xvfb, xwininfo (x11-utils) or import (imagemagick) is missing.
set -u
exe=$1
title=$2
out=$3
for tool in Xvfb xwininfo import; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
app=""
xserver=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xserver" ] && kill "$xserver" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A copy of its own, so the settings file it keeps beside itself stays in the scratch folder.
cp "$exe" "$work/trimlet"

# Xvfb picks a free display and reports its number, so parallel runs never collide.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xserver=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" "$work/trimlet" >"$work/trimlet.log" 2>&1 &
app=$!
found=""
for _ in $(seq 150); do
  if ! kill -0 "$app" 2>/dev/null; then
    echo "FAIL: trimlet exited at start"; cat "$work/trimlet.log"; exit 1
  fi
  if xwininfo -root -tree | grep -qF "\"$title\""; then
    found=yes
    break
  fi
  sleep 0.1
done
if [ -z "$found" ]; then
  echo "FAIL: no window \"$title\" appeared"; xwininfo -root -tree; exit 1
fi
sleep 0.5  # let the first paint land
xwininfo -root -tree | grep -F "\"$title\""
import -window root "$out"
echo "saved $out"
kill -0 "$app" 2>/dev/null || { echo "FAIL: trimlet ended"; exit 1; }
