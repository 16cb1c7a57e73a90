#!/usr/bin/env bash
# Takes docs/alarm-list.png, docs/io-monitor.png and docs/estimate-view.png:
# the three views against drivesim, under xvfb-run. Needs xvfb and ImageMagick.
#   bash docs/make-view-screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
ninja -C "$BUILD_DIR" view_screenshots drivesim
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" "$BUILD_DIR/runtime/view_screenshots" "$WORK"
for shot in alarm-list io-monitor estimate-view; do
  # Small enough for the repository.
  convert "$WORK/$shot.png" -colors 64 -strip "docs/$shot.png"
  echo "docs/$shot.png: $(stat -c %s "docs/$shot.png") bytes"
done
