#!/usr/bin/env bash
# Builds gridwright-batch.exe for 64-bit Windows with MinGW-w64 (statically linked: no DLLs needed beside
# it) and packs it with its read-me into build/windows/gridwright-windows.zip.
#   scripts/build-windows.sh [build folder]        default build/windows
# GRIDWRIGHT_WERROR=ON turns warnings into errors (CI sets it). The COM backend's tests are built too;
# run them with: ctest --test-dir build/windows   (they run under Wine).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build/windows}

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DGRIDWRIGHT_WERROR="${GRIDWRIGHT_WERROR:-OFF}" \
  -DGRIDWRIGHT_BUILD_BENCH=OFF -DGRIDWRIGHT_BUILD_SHELL=OFF
cmake --build "$build" -j"${GRIDWRIGHT_JOBS:-2}"

package="$build/gridwright-windows"
rm -rf "$package" "$build/gridwright-windows.zip"
mkdir -p "$package"
cp "$build/batch/gridwright-batch.exe" "$package/"
x86_64-w64-mingw32-strip "$package/gridwright-batch.exe"
# The read-me in UTF-8 with a byte-order mark and Windows line ends, so Notepad shows it right.
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' scripts/windows-readme.txt; } >"$package/说明.txt"
(cd "$build" && cmake -E tar cf gridwright-windows.zip --format=zip gridwright-windows)
echo "Windows package: $build/gridwright-windows.zip"
