#!/usr/bin/env bash
# A first run that shows what Gridwright does: installs what is missing, builds gridwright-batch (Release,
# build/release), formats a sample document of examples/ with the example settings of
# examples/report-settings.txt, and has LibreOffice draw its first pages before and after:
#   bash scripts/run-example.sh [SAMPLE]   (default: sample-report)
# Writes out/SAMPLE-排版后.docx, out/before-N.png and out/after-N.png; running again overwrites them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

sample=${1:-sample-report}
input="examples/$sample.docx"
output="out/$sample-排版后.docx"
settings=examples/report-settings.txt
pages=2

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DGRIDWRIGHT_BUILD_TESTS=OFF -DGRIDWRIGHT_BUILD_BENCH=OFF -DGRIDWRIGHT_BUILD_SHELL=OFF
cmake --build build/release -j2 --target gridwright-batch

if [[ ! -f "$input" ]]; then
  echo "找不到示例文档：$input" >&2
  exit 1
fi
mkdir -p out
rm -f out/before-*.png out/after-*.png
# The table format run with the example settings: 3-pt outer lines, 0.5-pt inner lines, row height,
# fonts, fit to page width, right-aligned numbers with thousands separators.
build/release/batch/gridwright-batch "$input" --format --settings "$settings" -o "$output"

# LibreOffice draws both documents in a profile of its own (kept for the next run), so that a
# LibreOffice the user has open is neither used nor disturbed, with the document window's font
# configuration (宋体, 等线, Times New Roman, Arial ... mapped to the fonts Debian has).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$input" "$work/before.docx"
cp "$output" "$work/after.docx"
FONTCONFIG_FILE="$PWD/shell/renderer/fonts.conf" soffice \
  "-env:UserInstallation=file://$PWD/build/release/libreoffice-profile" --headless \
  --convert-to pdf --outdir "$work" "$work/before.docx" "$work/after.docx" >/dev/null 2>&1
for side in before after; do
  if [[ ! -f "$work/$side.pdf" ]]; then
    echo "LibreOffice 没有画出文档（soffice --convert-to pdf 失败）：$side.docx" >&2
    exit 1
  fi
  pdftoppm -png -r 80 -f 1 -l "$pages" "$work/$side.pdf" "out/$side"
done

echo "排版结果：$PWD/$output"
echo "排版前的页面："
ls "$PWD"/out/before-*.png
echo "排版后的页面（设置见 $settings）："
ls "$PWD"/out/after-*.png
