#!/bin/bash
# Installs the build into a temporary prefix and runs the launcher the way a
# user's menu would: per-user working folder, defaults copied once, the
# user's changes kept, a newer package's files added.
# Usage: LauncherTest.sh CMAKE BUILD_DIR WITH_PLUGIN(0|1)
set -u
source "$(dirname -- "$0")/Checks.sh"
cmake_command=$1
build_dir=$2
with_plugin=$3

make_scratch
prefix="$scratch/prefix"
"$cmake_command" --install "$build_dir" --prefix "$prefix" >"$scratch/install.log" ||
  { cat "$scratch/install.log"; echo "FAIL: cmake --install" >&2; exit 1; }
defaults="$prefix/share/drivara"

# Runs the launcher headless; the program ends right after start-up.
# Sets out, err and status.
run_launcher() {
  out=$(env QT_QPA_PLATFORM=offscreen DRIVARA_EXIT_AFTER_STARTUP=1 "$prefix/bin/drivara" "$@" 2>"$scratch/err")
  status=$?
  err=$(cat "$scratch/err")
}

expect_started_in() {  # expect_started_in FOLDER
  check "the program ends well (status $status): $err" test "$status" -eq 0
  check "the program runs in $1, said: $out" contains "$out" "Drivara started in $1"
}

# --- First start: the defaults are copied into $XDG_DATA_HOME/drivara.
export HOME="$scratch/home"
mkdir -p "$HOME"
export XDG_DATA_HOME="$scratch/data"
work="$XDG_DATA_HOME/drivara"
run_launcher
expect_started_in "$work"
for file in Preference.ini Language.lng DrivaraHelp.html Images/Cover.bmp; do
  check "$file is a default" test -f "$defaults/$file"
done
check "parameter files are defaults" compgen -G "$defaults/SystemInit-*.som" >/dev/null
check "parameter references are defaults" compgen -G "$defaults/ParameterRef-*.qdt" >/dev/null
while IFS= read -r -d '' file; do
  check "$file copied into the working folder" same_file "$defaults/$file" "$work/$file"
done < <(cd "$defaults" && find . -type f -printf '%P\0')
if [ "$with_plugin" = 1 ]; then
  check "the plug-in loads from the program's folder: $err" lacks "$err" "libWaypad.so failed"
fi

# --- Second start: the user's settings stay; a deleted default comes back.
printf '[Global]\r\niSplashTime=500\r\n' >"$work/Preference.ini"
cp "$work/Preference.ini" "$scratch/users-preferences"
rm "$work/Language.lng"
run_launcher
expect_started_in "$work"
check "a changed Preference.ini is kept" same_file "$scratch/users-preferences" "$work/Preference.ini"
check "a deleted default comes back" same_file "$defaults/Language.lng" "$work/Language.lng"

# --- A newer package: new files are added, files the user left alone are
# updated, files the user changed are kept.
printf '[Global]\r\nRepairPr1F=1\r\n' >"$defaults/Preference.ini"
echo "<p>newer help</p>" >>"$defaults/DrivaraHelp.html"
mkdir -p "$defaults/Images/Diagrams"
echo "new picture" >"$defaults/Images/Diagrams/Mode 2.bmp"
run_launcher
expect_started_in "$work"
check "the user's Preference.ini is not overwritten" same_file "$scratch/users-preferences" "$work/Preference.ini"
check "an unchanged default is updated" same_file "$defaults/DrivaraHelp.html" "$work/DrivaraHelp.html"
check "a new file is added" same_file "$defaults/Images/Diagrams/Mode 2.bmp" "$work/Images/Diagrams/Mode 2.bmp"
# The changed file stays the user's through later package updates too.
printf '[Global]\r\nRepairPr1F=0\r\n' >"$defaults/Preference.ini"
run_launcher
check "the user's Preference.ini survives a second update" same_file "$scratch/users-preferences" "$work/Preference.ini"

# --- A default that cannot be copied is reported; the program still starts.
rm "$work/DrivaraHelp.html"
mkdir "$work/DrivaraHelp.html"
run_launcher
expect_started_in "$work"
check "the failed copy is reported: $err" contains "$err" "cannot copy DrivaraHelp.html into $work"
check "what stood in the way is left alone" test -d "$work/DrivaraHelp.html"
rmdir "$work/DrivaraHelp.html"

# --- --workdir: a customer's folder with settings of its own, given relative.
mkdir -p "$scratch/customers/acme"
printf '[SetComPort]\r\nPort=3\r\n' >"$scratch/customers/acme/Preference.ini"
cp "$scratch/customers/acme/Preference.ini" "$scratch/acme-preferences"
pushd "$scratch/customers" >/dev/null
run_launcher --workdir acme
popd >/dev/null
expect_started_in "$scratch/customers/acme"
check "the customer's settings are kept" same_file "$scratch/acme-preferences" "$scratch/customers/acme/Preference.ini"
check "the customer's folder gets the defaults" same_file "$defaults/Images/Cover.bmp" "$scratch/customers/acme/Images/Cover.bmp"
run_launcher --workdir="$scratch/customers/other"
expect_started_in "$scratch/customers/other"

# --- Without XDG_DATA_HOME (or with a relative one) the folder is ~/.local/share/drivara.
unset XDG_DATA_HOME
run_launcher
expect_started_in "$HOME/.local/share/drivara"
XDG_DATA_HOME=relative/data run_launcher
expect_started_in "$HOME/.local/share/drivara"

# --- A working folder that cannot be made: a clear message, no program.
touch "$scratch/a-file"
run_launcher --workdir "$scratch/a-file/work"
check "an impossible working folder fails" test "$status" -eq 1
check "the failure names the folder: $err" contains "$err" "cannot create the working folder $scratch/a-file/work"
check "the program does not start" test -z "$out"

# --- The command-line programs are on the PATH of the prefix.
check "drivesim runs through its link in bin/" "$prefix/bin/drivesim" --help >/dev/null

finish
