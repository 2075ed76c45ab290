#!/usr/bin/env bash
# The whole test suite, as CI runs it: installs what is missing, then builds and tests twice,
#   build/ci-release  optimised, warnings are errors
#   build/ci-asan     with AddressSanitizer and UndefinedBehaviorSanitizer
# and, where the Windows cross compiler is installed, compiles the COM backend for Windows.
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

# ---- Hook: Windows cross-compile check of the COM backend ----------------------------------
# automation/com is the Windows-only backend (real Word through COM). When it has sources and the
# MinGW-w64 cross compiler is installed, every source of automation/ and automation/com/ must
# compile for Windows with warnings as errors. Objects go to build/ci-mingw; nothing is linked yet.
mingw_cxx=""
for candidate in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++; do
  if command -v "$candidate" >/dev/null 2>&1; then mingw_cxx=$candidate; break; fi
done
shopt -s nullglob
com_sources=(automation/com/*.cpp)
if ((${#com_sources[@]})) && [[ -n "$mingw_cxx" ]]; then
  phase "Windows cross-compile check (automation/com, $mingw_cxx)"
  mkdir -p build/ci-mingw
  for source in automation/*.cpp "${com_sources[@]}"; do
    object="build/ci-mingw/$(echo "${source%.cpp}" | tr / _).o"
    echo "  $source"
    "$mingw_cxx" -std=c++20 -Wall -Wextra -Werror -DUNICODE -D_UNICODE -I. -c "$source" -o "$object"
  done
elif ((${#com_sources[@]})); then
  echo "WARNING: x86_64-w64-mingw32-g++ not found; the COM backend was not compiled for Windows" >&2
fi
shopt -u nullglob
# ---- end of hook ----------------------------------------------------------------------------

phase "Sanitizer build (build/ci-asan)"
# -O1 with line tables only: the sanitizers' usual setting, quicker to build than -O2 -g, and the
# reports still name file and line. Assertions stay on.
cmake -S . -B build/ci-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" \
  -DGRIDWRIGHT_SANITIZE=ON -DGRIDWRIGHT_BUILD_BENCH=OFF
cmake --build build/ci-asan -j"$jobs"
phase "Tests (AddressSanitizer + UndefinedBehaviorSanitizer)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# ctest's closing line ("100% tests passed, 0 tests failed out of N") stays the last line printed.
run_ctest build/ci-asan
