#!/usr/bin/env bash
# Takes docs/waypad-point-table.png and docs/waypad-home-setup.png: the
# Waypad point table and its homing dialog on drivesim, under xvfb-run.
#   bash docs/make-waypad-screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
TOOL="$PWD/$BUILD_DIR/runtime/waypad_screenshots"
[ -x "$TOOL" ] || { echo "build waypad_screenshots first (ninja -C $BUILD_DIR waypad_screenshots)"; exit 1; }
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$TOOL" "$PWD/docs"
