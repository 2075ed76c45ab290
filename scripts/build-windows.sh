#!/usr/bin/env bash
# Builds the Windows programs with MinGW-w64 (statically linked: no DLLs needed beside them) and packs
# them, with the companion workbook and the Chinese read-me, into
#   build/windows/gridwright-windows.zip        unpack and run
#   build/windows/gridwright-setup.exe          per-user installer (Debian's nsis; skipped without it)
#   scripts/build-windows.sh [build folder]        default build/windows
# GRIDWRIGHT_WERROR=ON turns warnings into errors (CI sets it). The tests are built too; run them with:
# ctest --test-dir build/windows   (they run under Wine).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build/windows}

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DGRIDWRIGHT_WERROR="${GRIDWRIGHT_WERROR:-OFF}" \
  -DGRIDWRIGHT_BUILD_BENCH=OFF -DGRIDWRIGHT_BUILD_SHELL=OFF
cmake --build "$build" -j"${GRIDWRIGHT_JOBS:-2}"

package="$build/gridwright-windows"
rm -rf "$package" "$build/gridwright-windows.zip" "$build/gridwright-setup.exe"
mkdir -p "$package"
cp "$build/winshell/gridwright.exe" "$build/batch/gridwright-batch.exe" "$package/"
x86_64-w64-mingw32-strip "$package/gridwright.exe" "$package/gridwright-batch.exe"
if [[ -f "$build/winshell/2Brindle2012dll.xls" ]]; then
  cp "$build/winshell/2Brindle2012dll.xls" "$package/"
else
  echo "the companion workbook is missing (python3-xlwt is not installed)" >&2
  exit 1
fi
# The read-me in UTF-8 with a byte-order mark and Windows line ends, so Notepad shows it right.
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' scripts/windows-readme.txt; } >"$package/说明.txt"
(cd "$build" && cmake -E tar cf gridwright-windows.zip --format=zip gridwright-windows)
echo "Windows package: $build/gridwright-windows.zip"

if command -v makensis >/dev/null 2>&1; then
  version=$(sed -n 's/^project(Gridwright VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  makensis -V2 -INPUTCHARSET UTF8 "-DSOURCE=$PWD/$package" "-DOUTPUT=$PWD/$build/gridwright-setup.exe" \
    "-DVERSION=$version" scripts/windows-installer.nsi
  echo "Windows installer: $build/gridwright-setup.exe"
else
  echo "WARNING: makensis not found (Debian package nsis); the installer was not built" >&2
fi
