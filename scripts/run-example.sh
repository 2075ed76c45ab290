#!/usr/bin/env bash
# Installs what is missing, builds gridwright-batch (Release, build/release) and runs it on a
# sample document of examples/:   bash scripts/run-example.sh [SAMPLE]   (default: sample-report)
# The result goes to out/SAMPLE-排版后.docx; running again overwrites it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

sample=${1:-sample-report}
input="examples/$sample.docx"
output="out/$sample-排版后.docx"

# What the tool does to the sample, in this order: the table format run with the panel's defaults.
batch_commands=(--format)

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DGRIDWRIGHT_BUILD_TESTS=OFF -DGRIDWRIGHT_BUILD_BENCH=OFF -DGRIDWRIGHT_BUILD_SHELL=OFF
cmake --build build/release -j2 --target gridwright-batch

if [[ ! -f "$input" ]]; then
  echo "找不到示例文档：$input" >&2
  exit 1
fi
mkdir -p out
build/release/batch/gridwright-batch "$input" "${batch_commands[@]}" -o "$output"
echo "排版结果：$PWD/$output"
