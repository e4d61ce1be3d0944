#!/usr/bin/env bash
# Starts the real trimlet executable in a virtual X server, waits for its main window and
# saves a screenshot of the screen.
# usage: trimlet_smoke.sh EXECUTABLE WINDOW_TITLE OUT.png
# Exits 77 (skipped) where Xvfb, xwininfo (x11-utils) or import (imagemagick) is missing.
set -u
exe=$1 title=$2 out=$3
for tool in Xvfb xwininfo import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $1"; cat "$work"/*.log; exit 1; }
# Waits up to 15 s for the command to succeed while trimlet (once started) still runs.
await() {
  for _ in $(seq 150); do
    "$@" && return 0
    [ -z "${app:-}" ] || kill -0 "$app" 2>/dev/null || fail "trimlet exited at start"
    sleep 0.1
  done
  return 1
}

# Xvfb picks a free display and reports its number, so parallel runs never collide.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
await test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
# A copy of its own, so the settings file it keeps beside itself stays in the scratch folder.
cp "$exe" "$work/trimlet"
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" "$work/trimlet" >"$work/trimlet.log" 2>&1 &
app=$!
shown() { xwininfo -root -tree | grep "$@" -F "\"$title\""; }
await shown -q || fail "no window \"$title\" appeared"
sleep 0.5  # let the first paint land
shown
import -window root "$out" && echo "saved $out"
kill -0 "$app" 2>/dev/null || fail "trimlet ended"
