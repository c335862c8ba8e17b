#!/usr/bin/env bash
# Takes docs/window.png, the README's picture of the whole window: the sample graph opened, a
# vertex found by name with Ctrl+F and its relation edges highlighted. Runs the viewer on a
# virtual display of its own and types as a user does. Usage: scripts/readme-picture.sh [NAME]
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:-GraphStore.h}
viewer=build/src/app/ramiflex
[ -x "$viewer" ] || { echo "readme-picture: build $viewer first" >&2; exit 1; }
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1366x768x24 >/dev/null 2>&1 &
xvfb=$!
home=$(mktemp -d)
trap 'kill "$viewer_pid" "$xvfb" 2>/dev/null || true; rm -rf "$home"' EXIT
sleep 1
# A settings folder of its own, so that the picture shows the start values.
DISPLAY=$display XDG_CONFIG_HOME=$home "$viewer" data/ramiflex.xml --view 4 --2d >/dev/null 2>&1 &
viewer_pid=$!
export DISPLAY=$display
window=$(xdotool search --sync --onlyvisible --name "Ramiflex" | head -n 1)
sleep 4
xdotool windowfocus --sync "$window"
xdotool key --window "$window" ctrl+f
sleep 0.5
xdotool type --delay 40 "$name"
sleep 0.5
xdotool key Return
sleep 3
xwd -root -silent | convert xwd:- docs/window.png
echo "readme-picture: docs/window.png"
