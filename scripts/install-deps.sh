#!/usr/bin/env bash
# Installs what building, running and testing Gridwright needs on Debian 12 (run as root).
# Safe to run again: apt-get only installs what is missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  libpugixml-dev libzip-dev zlib1g-dev libgsf-1-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n
  libreofficekit-dev libreoffice-writer-nogui
  fonts-noto-cjk fonts-arphic-ukai fonts-lxgw-wenkai fonts-liberation2
  python3-xlwt poppler-utils file
)
if [[ "${GRIDWRIGHT_TEST_DEPS:-0}" == 1 ]]; then
  packages+=(xvfb xauth g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine64 nsis clang-format
             python3-docx python3-xlrd man-db clang-14 libclang-rt-14-dev)
fi
# The many-document tests: a validator of the report's schema, and GNU parallel.
[[ "${GRIDWRIGHT_TEST_DEPS:-0}" == 1 ]] && packages+=(python3-jsonschema parallel)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The menu entry and icon, so that a file manager offers Gridwright for .docx files (the program
# itself comes with `cmake --install`, see the README).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
install -Dm644 "$here/shell/desktop/gridwright.desktop" /usr/local/share/applications/gridwright.desktop
install -Dm644 "$here/shell/desktop/gridwright.svg" /usr/local/share/icons/hicolor/scalable/apps/gridwright.svg
if command -v update-desktop-database >/dev/null 2>&1; then update-desktop-database -q /usr/local/share/applications || true; fi
