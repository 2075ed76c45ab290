#!/usr/bin/env bash
# Pictures of the Windows program's windows under Wine and Xvfb, for docs/ and the README:
#   scripts/windows-screenshots.sh [build folder] [output folder]    defaults: build/windows, docs
# The build folder is one that scripts/build-windows.sh made. The windows run against the scripted Word
# of the tests (gw_winshell_screens.exe), in a Wine prefix of their own in which the Windows UI fonts
# map to Debian's Chinese fonts and Wine draws the title bars itself (Xvfb has no window manager).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build/windows}
out=${2:-docs}
if [[ -z "${GRIDWRIGHT_IN_XVFB:-}" ]]; then
  GRIDWRIGHT_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1600x1000x24" bash "$0" "$build" "$out"
fi

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX="$PWD/$build/wine-screens" WINEDEBUG=-all
"$wine" regedit /S "Z:$PWD/tests/winshell/wine-prefix.reg"
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"; "${wine%64}server" -k 2>/dev/null || /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
mkdir -p "$out"
"$wine" "$build/tests/winshell/gw_winshell_screens.exe" "Z:$work" &
screens=$!
# The program writes the place of each window into shot.txt and goes on once the file is gone.
while kill -0 "$screens" 2>/dev/null; do
  if [[ -f "$work/shot.txt" ]]; then
    read -r name x y w h <"$work/shot.txt"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/windows-$name.png"
    echo "$out/windows-$name.png"
    rm -f "$work/shot.txt"
  fi
  sleep 0.2
done
wait "$screens"
