#!/usr/bin/env bash
# Builds Drivara and starts it against drivesim, the simulated drive: drivesim
# runs in the background on a pseudo-terminal linked from a temporary folder,
# COM1 of the runtime folder's Preference.ini points at that link, and Drivara
# runs with the runtime folder as its working directory. drivesim stops when
# Drivara ends. Extra arguments go to drivesim (e.g. --model VR-101 --mode 1).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${DRIVARA_SKIP_DEPS:-0}" != 1 ]; then
  bash scripts/install-deps.sh
fi
BUILD_DIR=${DRIVARA_BUILD_DIR:-build}
# Ninja for a new build folder; one made earlier keeps its generator.
GENERATOR=(); [ -f "$BUILD_DIR/CMakeCache.txt" ] || GENERATOR=(-G Ninja)
cmake -S . -B "$BUILD_DIR" "${GENERATOR[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target Drivara drivesim
RUNTIME="$PWD/$BUILD_DIR/runtime"

TMP_DIR=$(mktemp -d)
LINK="$TMP_DIR/drive-port"
SIM_PID=
cleanup() {
  if [ -n "$SIM_PID" ] && kill -0 "$SIM_PID" 2>/dev/null; then
    kill "$SIM_PID"
    wait "$SIM_PID" 2>/dev/null || true
  fi
  rm -rf "$TMP_DIR"
}
trap cleanup EXIT

# 115200 baud is the first rate the connection search tries.
"$RUNTIME/drivesim" --link "$LINK" --baud 115200 --model VR-008 --pace "$@" \
  >"$TMP_DIR/drivesim.log" 2>&1 &
SIM_PID=$!
for _ in $(seq 50); do
  [ -e "$LINK" ] && break
  kill -0 "$SIM_PID" 2>/dev/null || { cat "$TMP_DIR/drivesim.log"; exit 1; }
  sleep 0.1
done
[ -e "$LINK" ] || { echo "drivesim did not make $LINK"; exit 1; }

# COM1 = the simulated drive's port, in section "PortMap" of the runtime settings.
INI="$RUNTIME/Preference.ini"
touch "$INI"
awk -v port="$LINK" '
  BEGIN { done = 0; inMap = 0 }
  /^[ \t]*\[/ {
    if (inMap && !done) { print "COM1=" port; done = 1 }
    inMap = (tolower($0) ~ /^[ \t]*\[portmap\][ \t]*$/)
  }
  inMap && tolower($0) ~ /^[ \t]*com1[ \t]*=/ { if (!done) { print "COM1=" port; done = 1 } next }
  { print }
  END {
    if (!done) { if (!inMap) print "[PortMap]"; print "COM1=" port }
  }' "$INI" >"$INI.tmp"
mv "$INI.tmp" "$INI"

echo "drivesim is on $LINK (COM1); starting Drivara in $RUNTIME"
cd "$RUNTIME"
set +e
./Drivara
STATUS=$?
set -e
exit $STATUS
