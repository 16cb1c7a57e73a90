#!/usr/bin/env bash
# Takes docs/scope-running.png (the scope scanning drivesim, both cursors
# shown) and docs/scope-print-preview.png (one page of the print preview),
# with the scope_screenshots program under xvfb-run. Needs xvfb and
# imagemagick.
#   bash docs/make-scope-screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
RUNTIME="$PWD/$BUILD_DIR/runtime"
[ -x "$RUNTIME/scope_screenshots" ] && [ -x "$RUNTIME/drivesim" ] || {
  echo "build scope_screenshots and drivesim first"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
xvfb-run -a -s "-screen 0 1400x1000x24" "$RUNTIME/scope_screenshots" "$WORK/running.png" "$WORK/preview.png"
# Small enough for the repository.
convert "$WORK/running.png" -resize 1000x -colors 96 -strip docs/scope-running.png
convert "$WORK/preview.png" -resize 900x -colors 64 -strip docs/scope-print-preview.png
ls -l docs/scope-running.png docs/scope-print-preview.png
