#!/usr/bin/env bash
# Builds a fuzz target of fuzz/ with clang, libFuzzer and the sanitizers, and runs it on its seed corpus.
#
#   scripts/fuzz.sh TARGET [SECONDS]   one target for SECONDS (default 600)
#   scripts/fuzz.sh all [SECONDS]      every target for SECONDS each, two at a time (CI: 60)
#
# Targets: package, main_part, worksheet, wildcard, settings_file, command_line (see fuzz/inputs.h).
# The seeds are written afresh on every run (fuzz_seeds: documents from the test builders and the
# outside documents of ../shared/corpus/) together with the inputs kept under tests/data/fuzz/TARGET/;
# what the fuzzer learns stays in WORK/TARGET/corpus for the next run. An input that crashes, leaks,
# runs longer than 10 s or takes more than 2 GB is minimised and kept as
# tests/data/fuzz/TARGET/KIND-HASH (commit it with its fix); the script then exits with status 1.
#
# Environment: GRIDWRIGHT_FUZZ_BUILD (build folder, default build/fuzz), GRIDWRIGHT_FUZZ_WORK
# (corpora, logs and crashes, default BUILD/work), GRIDWRIGHT_FUZZ_SKIP_BUILD=1 (use the programs as
# built), GRIDWRIGHT_JOBS (build jobs, default 2), GRIDWRIGHT_FUZZ_TIMEOUT (seconds an input may take,
# default 10; libFuzzer measures wall time, so a long run at nice 19 beside busy builds wants more, and
# a timeout it reports is to be timed again on its own).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

all_targets=(package main_part worksheet wildcard settings_file command_line)
target=${1:-}
seconds=${2:-600}
if [[ -z "$target" || ! "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh TARGET|all [SECONDS]   (TARGET: ${all_targets[*]})" >&2
  exit 2
fi
if [[ "$target" == all ]]; then
  targets=("${all_targets[@]}")
elif [[ " ${all_targets[*]} " == *" $target "* ]]; then
  targets=("$target")
else
  echo "scripts/fuzz.sh: no target \"$target\" (${all_targets[*]})" >&2
  exit 2
fi

build=${GRIDWRIGHT_FUZZ_BUILD:-build/fuzz}
work=${GRIDWRIGHT_FUZZ_WORK:-$build/work}
mkdir -p "$work"
work=$(cd "$work" && pwd)

if [[ "${GRIDWRIGHT_FUZZ_SKIP_BUILD:-0}" != 1 ]]; then
  launcher=()
  if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  # -O1 with line tables, as the sanitizer build of run-tests.sh; the tests are configured (the seed
  # writer uses their document builders) but only the fuzz programs are built.
  cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" -DGRIDWRIGHT_FUZZ=ON -DGRIDWRIGHT_BUILD_BENCH=OFF \
    -DGRIDWRIGHT_BUILD_SHELL=OFF "${launcher[@]}" >/dev/null
  cmake --build "$build" -j"${GRIDWRIGHT_JOBS:-2}" --target fuzz_all
fi
programs=$(cd "$build/fuzz" && pwd)
timeout=${GRIDWRIGHT_FUZZ_TIMEOUT:-10}

# The documents the package targets write and read again live in memory where there is a tmpfs.
if [[ -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Documents and workbooks are large; patterns, settings and command lines are short.
max_len_of() {
  case $1 in
    package) echo 262144 ;;
    main_part | worksheet) echo 131072 ;;
    *) echo 4096 ;;
  esac
}

dictionary_of() {
  case $1 in
    package | main_part) echo "$PWD/fuzz/wordml.dict" ;;
    worksheet) echo "$PWD/fuzz/biff.dict" ;;
    wildcard) echo "$PWD/fuzz/wildcard.dict" ;;
    *) echo "$work/$1/settings.dict" ;;
  esac
}

# Runs one target; its log is WORK/TARGET/log. Returns 1 when it found a fault.
run_target() {
  local name=$1 dir="$work/$1"
  local seeds="$dir/seeds" crashes="$dir/crashes" kept="$PWD/tests/data/fuzz/$1"
  rm -rf "$seeds"
  mkdir -p "$dir/corpus" "$crashes" "$kept"
  "$programs/fuzz_seeds" "$name" "$seeds" "$dir/settings.dict" >"$dir/seeds.log" 2>&1
  find "$kept" -maxdepth 1 -type f -exec cp {} "$seeds/" \;
  local status=0
  "$programs/fuzz_$name" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -max_len="$(max_len_of "$name")" \
    -dict="$(dictionary_of "$name")" -artifact_prefix="$crashes/" -print_final_stats=1 \
    "$dir/corpus" "$seeds" >"$dir/log" 2>&1 || status=$?
  local found=0
  # libFuzzer also writes the inputs it found slow (over 10 s of wall time, however busy the machine
  # was); they are kept aside for timing, not taken as faults.
  mkdir -p "$dir/slow"
  find "$crashes" -maxdepth 1 -name 'slow-unit-*' -exec mv {} "$dir/slow/" \;
  for crash in "$crashes"/*; do
    [[ -f "$crash" ]] || continue
    found=1
    local kind hash
    kind=$(basename "$crash" | cut -d- -f1)
    hash=$(sha1sum "$crash" | cut -c1-12)
    # The smallest input that still fails; the original when it cannot be made smaller.
    if ! "$programs/fuzz_$name" -minimize_crash=1 -max_total_time=60 -timeout="$timeout" -rss_limit_mb=2048 \
      -exact_artifact_path="$kept/$kind-$hash" "$crash" >>"$dir/minimise.log" 2>&1 ||
      [[ ! -s "$kept/$kind-$hash" ]]; then
      cp "$crash" "$kept/$kind-$hash"
    fi
    mv "$crash" "$dir/found-$(basename "$crash")"
  done
  local inited done_line
  inited=$(grep -m1 'INITED' "$dir/log" | grep -o 'cov: [0-9]*' || true)
  done_line=$(grep 'DONE\|pulse' "$dir/log" | tail -n1 | grep -o 'cov: [0-9]*' || true)
  printf '%-14s %s  edges at start %s, at end %s, %s runs\n' "$name" \
    "$([[ $found == 0 && $status == 0 ]] && echo ok || echo FAULT)" "${inited#cov: }" "${done_line#cov: }" \
    "$(grep -o 'number_of_executed_units: [0-9]*' "$dir/log" | grep -o '[0-9]*$' || echo '?')"
  if [[ $found == 1 || $status != 0 ]]; then
    echo "  see $dir/log; the input is kept under tests/data/fuzz/$name/" >&2
    tail -n 30 "$dir/log" >&2
    return 1
  fi
}

failed=0
running=0
for name in "${targets[@]}"; do
  run_target "$name" &
  running=$((running + 1))
  if ((running == 2)); then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while ((running > 0)); do
  wait -n || failed=1
  running=$((running - 1))
done
exit $failed
