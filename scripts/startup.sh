#!/usr/bin/env bash
# Start-up and footprint, in a virtual X server: the editor against an empty Qt main window with a menu
# bar (qmemptywindow). Time from launch to the main window being mapped (median of LAUNCHES, default 5,
# launched alternately), peak RSS with the sample levels file open, CPU share of one core over 10 s
# with a level open and idle, and over 10 s of edge scrolling.
#   scripts/startup.sh [BUILD_DIR]
# Environment: OUT (the JSON, default BUILD_DIR/startup.json), SHOTS (a folder for screenshots of
# each step of opening the sample file), LAUNCHES.
# Needs xvfb-run, xdotool, xev (x11-utils) and, for SHOTS, import (imagemagick).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
for tool in xvfb-run xdotool xev stdbuf; do
  command -v "$tool" > /dev/null || { echo "startup.sh needs $tool (apt-get install xvfb xdotool x11-utils)" >&2; exit 1; }
done
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target qmeditor qmemptywindow gamefiles
out=${OUT:-$build/startup.json}
xvfb-run -a -s "-screen 0 1280x1024x24" \
  python3 bench/startup.py "$(realpath "$build/game")" "$(realpath "$build/bench/qmemptywindow")" "$out" \
  "${LAUNCHES:-5}" ${SHOTS:+"$SHOTS"}
