#!/usr/bin/env bash
# Takes the block-diagram screenshots of docs/: Drivara under xvfb-run,
# connected to drivesim in position, velocity and torque control, with the
# diagram opened from the tool box, and the pulse-input dialog of the
# position diagram. Needs xvfb, xdotool and imagemagick.
#   bash docs/make-wizard-screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
RUNTIME="$PWD/$BUILD_DIR/runtime"
DOCS="$PWD/docs"
[ -x "$RUNTIME/Drivara" ] && [ -x "$RUNTIME/drivesim" ] || { echo "build Drivara and drivesim first"; exit 1; }

WORK=$(mktemp -d)
SIM_PID=
cleanup() {
  [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
cp -r "$RUNTIME/Images" "$WORK/"
printf '[Global]\niSplashTime=300\n[SetComPort]\nSaveAsDefault=1\nComPort=1\nSlaveID=1\n[PortMap]\nCOM1=%s\n' \
  "$WORK/drive-port" >"$WORK/Preference.ini"

# One session: connect, press "Setup Block Diagram", take the screen; with a
# second argument also click the pulse-input box and take its dialog.
cat >"$WORK/session.sh" <<INNER
#!/usr/bin/env bash
set -u
cd "$WORK"
"$RUNTIME/Drivara" >/dev/null 2>&1 &
APP=\$!
press() { w=\$(xdotool search --sync --onlyvisible --name "\$1" | head -1); xdotool windowfocus --sync "\$w" key Return; }
timeout 20 bash -c "\$(declare -f press); press 'Connection Settings Dialog'"
timeout 20 bash -c "\$(declare -f press); press 'Servo connected'"
timeout 20 bash -c "\$(declare -f press); press 'Control mode selection'"
sleep 1
timeout 3 bash -c "\$(declare -f press); press 'Load dll'" || true
sleep 1
xdotool mousemove 125 189 click 1   # Setup Block Diagram (B)
sleep 2
import -window root "$WORK/\$1.png"
if [ \$# -gt 1 ]; then
  xdotool mousemove 326 147 click 1 # the Pr.40-42 box of the position diagram
  w=\$(timeout 10 xdotool search --sync --onlyvisible --name 'Parameter No.40~42' | head -1)
  sleep 1
  import -window "\$w" "$WORK/\$2.png"
fi
kill \$APP
INNER
chmod +x "$WORK/session.sh"

shoot() {  # name mode [dialog-name] -- extra drivesim options
  local name=$1 mode=$2 dialog=${3:-}
  rm -f "$WORK/drive-port"
  "$RUNTIME/drivesim" --link "$WORK/drive-port" --baud 115200 --model VR-008 --mode "$mode" \
    >"$WORK/drivesim.log" 2>&1 &
  SIM_PID=$!
  for _ in $(seq 50); do [ -e "$WORK/drive-port" ] && break; sleep 0.1; done
  xvfb-run -a -s "-screen 0 1280x800x24" "$WORK/session.sh" "$name" $dialog
  kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null || true; SIM_PID=
  # The tool box and the diagram's window; small enough for the repository.
  convert "$WORK/$name.png" -crop 1220x610+0+0 -resize 900x -colors 64 -strip "$DOCS/$name.png"
  echo "wrote $DOCS/$name.png ($(stat -c %s "$DOCS/$name.png") bytes)"
  if [ -n "$dialog" ]; then
    convert "$WORK/$dialog.png" -colors 64 -strip "$DOCS/$dialog.png"
    echo "wrote $DOCS/$dialog.png ($(stat -c %s "$DOCS/$dialog.png") bytes)"
  fi
}

shoot wizard-position 0 wizard-pulse-input-dialog
shoot wizard-velocity 1
shoot wizard-torque 2
