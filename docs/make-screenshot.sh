#!/usr/bin/env bash
# Takes docs/drivara-main.png: Drivara under xvfb-run, connected to drivesim,
# with the tool box and the parameter page open. Needs xvfb, xdotool and imagemagick.
#   bash docs/make-screenshot.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
RUNTIME="$PWD/$BUILD_DIR/runtime"
OUT="$PWD/docs/drivara-main.png"
[ -x "$RUNTIME/Drivara" ] && [ -x "$RUNTIME/drivesim" ] || { echo "build Drivara and drivesim first"; exit 1; }

WORK=$(mktemp -d)
SIM_PID=
cleanup() {
  [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# A working folder of its own, so the runtime folder's settings stay as they are.
cp -r "$RUNTIME/Images" "$RUNTIME"/*.som "$RUNTIME"/*.qdt "$WORK/"
printf '[Global]\niSplashTime=500\n[SetComPort]\nSaveAsDefault=1\nComPort=1\nSlaveID=1\n[PortMap]\nCOM1=%s\n' \
  "$WORK/drive-port" >"$WORK/Preference.ini"
"$RUNTIME/drivesim" --link "$WORK/drive-port" --baud 115200 --model VR-008 --mode 0 \
  >"$WORK/drivesim.log" 2>&1 &
SIM_PID=$!
for _ in $(seq 50); do [ -e "$WORK/drive-port" ] && break; sleep 0.1; done

cat >"$WORK/session.sh" <<INNER
#!/usr/bin/env bash
set -u
cd "$WORK"
"$RUNTIME/Drivara" &
APP=\$!
# Press Return on whatever dialog is up: the connection dialog's OK, then
# "Servo connected", the control-mode choice, then any plug-in message.
press() { w=\$(xdotool search --sync --onlyvisible --name "\$1" | head -1); xdotool windowfocus --sync "\$w" key Return; }
timeout 20 bash -c "\$(declare -f press); press 'Connection Settings Dialog'"
timeout 20 bash -c "\$(declare -f press); press 'Servo connected'"
timeout 20 bash -c "\$(declare -f press); press 'Control mode selection'"
sleep 1
timeout 3 bash -c "\$(declare -f press); press 'Load dll'" || true
sleep 1
# Open the parameter page from the tool box.
xdotool search --sync --onlyvisible --name "^Drivara" windowfocus --sync key alt+p
sleep 4
import -window root "$WORK/shot.png"
kill \$APP
INNER
chmod +x "$WORK/session.sh"
xvfb-run -a -s "-screen 0 1280x800x24" "$WORK/session.sh"
# Small enough for the repository.
convert "$WORK/shot.png" -resize 1000x -colors 96 -strip "$OUT"
echo "wrote $OUT ($(stat -c %s "$OUT") bytes)"
