#!/bin/bash
# Builds the Debian package with cpack and checks what it holds: the
# program, its libraries and plug-in, the launcher, the desktop entry, the
# manual pages and every default data file; dependencies found by
# dpkg-shlibdeps; the dialout note; and that the unpacked tree starts.
# Usage: PackageTest.sh CPACK BUILD_DIR WITH_PLUGIN(0|1) WITH_CLI(0|1)
set -u
source "$(dirname -- "$0")/Checks.sh"
cpack_command=$1
build_dir=$2
with_plugin=$3
with_cli=$4

make_scratch
"$cpack_command" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; echo "FAIL: cpack -G DEB" >&2; exit 1; }
packages=("$scratch"/out/drivara_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || { echo "FAIL: no single drivara_*.deb" >&2; exit 1; }
package=${packages[0]}

listing=$(dpkg-deb -c "$package" | awk '{ print $6 }')
has() { grep -qxF -- "./usr/$1" <<<"$listing"; }

expected=(bin/drivara bin/drivesim
          lib/drivara/Drivara lib/drivara/drivesim lib/drivara/libQDComm.so
          lib/drivara/libQDAuxiliary.so lib/drivara/libDrivaraPlatform.so
          share/applications/drivara.desktop share/icons/hicolor/scalable/apps/drivara.svg
          share/man/man1/drivara.1.gz share/man/man1/drivesim.1.gz
          share/drivara/Preference.ini share/drivara/Language.lng
          share/drivara/DrivaraHelp.html share/drivara/Images/Cover.bmp)
[ "$with_plugin" = 1 ] && expected+=(lib/drivara/libWaypad.so)
[ "$with_cli" = 1 ] && expected+=(bin/drivara-cli lib/drivara/drivara-cli share/man/man1/drivara-cli.1.gz)
for file in "${expected[@]}"; do
  check "the package holds /usr/$file" has "$file"
done
# Every parameter file the build writes is in the package.
for file in "$build_dir"/runtime/*.som "$build_dir"/runtime/*.qdt; do
  check "the package holds $(basename "$file")" has "share/drivara/$(basename "$file")"
done
# Nothing else of the build folder: no tests, benchmarks or build tools.
unexpected=$(grep '^\./usr/lib/drivara/.' <<<"$listing" |
             grep -vxE '\./usr/lib/drivara/(Drivara|drivesim|drivara-cli|lib(QDComm|QDAuxiliary|DrivaraPlatform|Waypad)\.so)')
check "only the programs and libraries under lib/drivara, not: $unexpected" test -z "$unexpected"

depends=$(dpkg-deb -f "$package" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6; do
  check "Depends names $library: $depends" contains "$depends" "$library"
done
dpkg-deb -e "$package" "$scratch/control"
check "the post-install text tells about dialout" grep -q "adduser .* dialout" "$scratch/control/postinst"

dpkg-deb -x "$package" "$scratch/root"
runpath=$(readelf -d "$scratch/root/usr/lib/drivara/Drivara" | grep -E 'RUNPATH|RPATH')
check "the program finds its libraries beside it: $runpath" contains "$runpath" '[$ORIGIN]'
if command -v desktop-file-validate >/dev/null; then
  check "the desktop entry is valid" desktop-file-validate "$scratch/root/usr/share/applications/drivara.desktop"
fi
check "the desktop entry starts the launcher" grep -qx "Exec=drivara" "$scratch/root/usr/share/applications/drivara.desktop"

# The unpacked tree works where it lies.
out=$(env HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" QT_QPA_PLATFORM=offscreen DRIVARA_EXIT_AFTER_STARTUP=1 \
      "$scratch/root/usr/bin/drivara" 2>"$scratch/err")
check "the packaged program starts: $out $(cat "$scratch/err")" contains "$out" "Drivara started in $scratch/data/drivara"

finish
