#!/usr/bin/env bash
# Installs dependencies, builds everything, runs every test (one suite at a
# time: several suites exchange paced frames on ptys and time them); then rebuilds
# the libraries and tests with address and undefined-behaviour sanitizers
# and runs the tests again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
JOBS=$(nproc)
# Ninja for a new build folder; one made earlier keeps its generator.
generator() { [ -f "$1/CMakeCache.txt" ] || echo "-GNinja"; }

cmake -S . -B build $(generator build) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$JOBS"
(cd build && ctest --output-on-failure --timeout 300)

if [ "${DRIVARA_SKIP_SANITIZE:-0}" != 1 ]; then
  cmake -S . -B build-asan $(generator build-asan) -DCMAKE_BUILD_TYPE=Debug -DDRIVARA_SANITIZE=ON -DDRIVARA_BUILD_BENCH=OFF >/dev/null
  cmake --build build-asan -j"$JOBS"
  (cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
     ctest --output-on-failure --timeout 600)
fi
