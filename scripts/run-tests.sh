#!/usr/bin/env bash
# The whole test suite, as CI runs it: installs what is missing, then builds and tests twice,
#   build/ci-release  optimised, warnings are errors; the Debian package is made from it and checked
#   build/ci-asan     with AddressSanitizer and UndefinedBehaviorSanitizer
# with every fuzz target run for a minute in between (build/ci-fuzz: clang, libFuzzer, the sanitizers),
# and, where the Windows cross compiler and Wine are installed, builds the Windows package and runs the
# COM backend's tests under Wine.
# Works on a fresh Debian 12 machine as root; safe to run again. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

jobs=2
started=$SECONDS
phase() { printf '\n==== %s (%ds)\n' "$*" "$((SECONDS - started))"; }

phase "Installing dependencies"
GRIDWRIGHT_TEST_DEPS=1 bash scripts/install-deps.sh

phase "Code format (clang-format, .clang-format)"
# Every tracked C++ source must already be in the house format; the check changes nothing.
clang_format=""
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null 2>&1; then clang_format=$candidate; break; fi
done
if [[ -n "$clang_format" ]]; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 "$clang_format" --dry-run --Werror
else
  echo "WARNING: clang-format not found; the code format was not checked" >&2
fi

run_ctest() {
  # --no-tests=error: a build that lost its tests must not pass as green.
  ctest --test-dir "$1" --output-on-failure --no-tests=error --timeout 900 -j"$jobs"
}

phase "Release build (build/ci-release)"
# -O2 rather than CMake's -O3: at -O3 GCC 12 reports false -Wrestrict/-Wstringop-overflow warnings
# inside libstdc++'s string code, which -Werror would turn into a failed build.
cmake -S . -B build/ci-release -G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  -DGRIDWRIGHT_WERROR=ON
cmake --build build/ci-release -j"$jobs"
phase "Tests (release)"
run_ctest build/ci-release
phase "Debian package (from build/ci-release)"
# Packs the release tree (its prefix becomes /usr; nothing is compiled again) and checks the file list,
# the file modes and the Depends field; the package is not installed here.
deb=$(bash scripts/build-deb.sh build/ci-release | tail -n1)
python3 tests/tools/check_debian_package.py "$deb"

# ---- Windows: the windows, the command line and the COM backend built with MinGW-w64, tested under Wine
# Everything Windows gets is compiled with warnings as errors and statically linked; the tests run under
# Wine against a scripted Word, in a Wine prefix of their own inside the build folder, without a display
# (the windows on Wine's null display driver); the installer is built and tried.
mingw_cxx=""
for candidate in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++; do
  if command -v "$candidate" >/dev/null 2>&1; then mingw_cxx=$candidate; break; fi
done
wine=""
for candidate in wine64 /usr/lib/wine/wine64 wine; do
  if command -v "$candidate" >/dev/null 2>&1; then wine=$(command -v "$candidate"); break; fi
done
if [[ -n "$mingw_cxx" ]]; then
  phase "Windows build (build/ci-mingw, $mingw_cxx)"
  GRIDWRIGHT_WERROR=ON GRIDWRIGHT_JOBS="$jobs" bash scripts/build-windows.sh build/ci-mingw
  if [[ -n "$wine" ]]; then
    phase "Windows tests under Wine"
    export WINEPREFIX="$PWD/build/ci-mingw/wine" WINEDEBUG=-all
    batch_exe=build/ci-mingw/batch/gridwright-batch.exe
    # The command line: Chinese help, and a plain Chinese refusal where no Word can be started.
    help=$(env -u DISPLAY "$wine" "$batch_exe" --help)
    grep -q "用法\|选项" <<<"$help" || { echo "gridwright-batch.exe --help printed no Chinese help" >&2; exit 1; }
    sample=$(ls examples/*.docx 2>/dev/null | head -n1 || true)
    if [[ -n "$sample" ]]; then
      if no_word=$(env -u DISPLAY "$wine" "$batch_exe" "$sample" -o build/ci-mingw/out.docx 2>&1); then
        echo "gridwright-batch.exe succeeded without Word" >&2; exit 1
      fi
      grep -q "无法启动 Word" <<<"$no_word" || { echo "unexpected output without Word: $no_word" >&2; exit 1; }
      # Many documents: two workers started, each document reported as failed, nothing left behind.
      many=build/ci-mingw/many
      rm -rf "$many" && mkdir -p "$many/in/sub" && cp "$sample" "$many/in/a.docx" && cp "$sample" "$many/in/sub/b.docx"
      status=0
      env -u DISPLAY "$wine" "$batch_exe" "$many/in" --out-dir "$many/out" -j 2 --report-json "$many/report.jsonl" \
        >/dev/null 2>&1 || status=$?
      if ((status != 3)) || [[ $(grep -c '"status":"failed"' "$many/report.jsonl") != 2 ]] || [[ -n $(find "$many/out" -type f 2>/dev/null) ]]; then
        echo "gridwright-batch.exe on a folder without Word: status $status, report:" >&2
        cat "$many/report.jsonl" >&2
        exit 1
      fi
    fi
    # The COM backend, and the windows of gridwright.exe on Wine's null display driver.
    env -u DISPLAY ctest --test-dir build/ci-mingw --output-on-failure --no-tests=error --timeout 300
    # The installer: a silent install for this user puts both programs, the workbook, the read-me and
    # the Start-menu entries in place, and its uninstaller takes them away again. (No desktop menu
    # entries for Linux: winemenubuilder is switched off.)
    installed='C:\gridwright-install-check'
    folder="$WINEPREFIX/drive_c/gridwright-install-check"
    export WINEDLLOVERRIDES=winemenubuilder.exe=d
    env -u DISPLAY "$wine" build/ci-mingw/gridwright-setup.exe /S "/D=$installed"
    for file in gridwright.exe gridwright-batch.exe 2Brindle2012dll.xls 说明.txt uninstall.exe; do
      [[ -f "$folder/$file" ]] || { echo "the installer did not install $file" >&2; exit 1; }
    done
    entry=$(find "$WINEPREFIX/drive_c/users" -path '*/Programs/Gridwright/Gridwright 表格排版.lnk' | head -n1)
    [[ -n "$entry" ]] || { echo "the installer made no Start-menu entry" >&2; exit 1; }
    env -u DISPLAY "$wine" "$installed\\uninstall.exe" /S "_?=$installed"
    if [[ -e "$folder/gridwright.exe" || -e "$entry" ]]; then
      echo "the uninstaller left the program or its Start-menu entry behind" >&2; exit 1
    fi
    unset WINEDLLOVERRIDES
  else
    echo "WARNING: wine64 not found; the Windows tests did not run" >&2
  fi
else
  echo "WARNING: x86_64-w64-mingw32-g++ not found; the Windows build was skipped" >&2
fi
# ---- end of the Windows part ------------------------------------------------------------------

phase "Sanitizer build (build/ci-asan)"
# -O1 with line tables only: the sanitizers' usual setting, quicker to build than -O2 -g, and the
# reports still name file and line. Assertions stay on.
cmake -S . -B build/ci-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" \
  -DGRIDWRIGHT_SANITIZE=ON -DGRIDWRIGHT_BUILD_BENCH=OFF
cmake --build build/ci-asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
phase "Fuzzing (build/ci-fuzz: every target 60 s on its seeds, two at a time)"
# A smoke run, not a search: every reader still takes its seed corpus, and a minute of mutation each
# finds nothing. A fault fails the run, its minimised input left under tests/data/fuzz/.
GRIDWRIGHT_FUZZ_BUILD=build/ci-fuzz GRIDWRIGHT_JOBS="$jobs" bash scripts/fuzz.sh all 60
phase "Tests (AddressSanitizer + UndefinedBehaviorSanitizer)"
# ctest's closing line ("100% tests passed, 0 tests failed out of N") stays the last line printed.
run_ctest build/ci-asan
