#!/usr/bin/env bash
# Builds the Debian package gridwright_VERSION-1_ARCH.deb into build/:
#   bash scripts/build-deb.sh [TREE]     (default build/deb; install with apt-get install ./build/gridwright_….deb)
# A new TREE is configured as a Release build without tests, hardened with the flags Debian builds its
# own packages with (dpkg-buildflags); an existing one keeps its settings (so CI packs its release tree
# without compiling again). Either way the prefix becomes /usr, where Debian installs programs. CPack
# makes the package from the install rules; dpkg-shlibdeps works out the libraries it depends on.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
tree=${1:-build/deb}

launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
if [[ -f $tree/CMakeCache.txt ]]; then
  cmake -S . -B "$tree" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
else
  # Debian's hardening (stack protector, fortified calls, read-only relocations bound at start) without
  # its -g: the package holds stripped programs.
  flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1" | sed 's/\(^\| \)-g\( \|$\)/ /'; }
  cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
    "-DCMAKE_CXX_FLAGS=$(flags CPPFLAGS) $(flags CXXFLAGS)" "-DCMAKE_EXE_LINKER_FLAGS=$(flags LDFLAGS)" \
    -DGRIDWRIGHT_BUILD_TESTS=OFF -DGRIDWRIGHT_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr "${launcher[@]}" >/dev/null
fi
nice -n 10 cmake --build "$tree" -j"${GRIDWRIGHT_JOBS:-2}"
if [[ ! -f $tree/CPackConfig.cmake ]]; then
  echo "no package in $tree: the windows (Qt 6) are not built there" >&2
  exit 1
fi
rm -rf "$tree/package"
(cd "$tree" && cpack -G DEB >/dev/null)
deb=$(ls "$tree"/package/gridwright_*.deb)
cp "$deb" build/
echo "build/$(basename "$deb")"
