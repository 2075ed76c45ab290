#!/usr/bin/env bash
# One task of a Slurm job array that runs gridwright-batch over a file list. Task k of n takes every
# n-th entry of the list, starting with entry k+1 (k counts from the array's first index, n is
# SLURM_ARRAY_TASK_COUNT), and hands its share to `gridwright-batch --files-from -` with the options
# given after the list; "%a" in those options becomes the task's index, so each task writes a report
# of its own, and the reports of all tasks concatenate into one JSON Lines file:
#
#   find 档案 -name '*.docx' > 文件列表.txt
#   sbatch --array=0-19 --cpus-per-task=4 scripts/slurm-batch.sh 文件列表.txt \
#          --out-dir 排版后 --report-json 报告/part-%a.jsonl --skip-existing --format
#   cat 报告/part-*.jsonl > 报告.jsonl
#
# The list has one path a line, or NUL-separated entries when the options include -0. Relative paths
# are taken from the folder sbatch was called in, and keep their place below --out-dir. Each task runs
# as many workers as Slurm gave it processors (SLURM_CPUS_PER_TASK) unless the options set -j.
# gridwright-batch is taken from GRIDWRIGHT_BATCH, else from PATH. Without Slurm, set the variables
# by hand to see what a task would do: SLURM_ARRAY_TASK_ID=2 SLURM_ARRAY_TASK_COUNT=20 scripts/slurm-batch.sh ...
#
#SBATCH --job-name=gridwright
#SBATCH --cpus-per-task=2
set -euo pipefail

if (($# < 1)); then
  echo "用法：scripts/slurm-batch.sh 文件列表 [gridwright-batch 的选项...]" >&2
  exit 2
fi
list=$1
shift
id=${SLURM_ARRAY_TASK_ID:?"没有 SLURM_ARRAY_TASK_ID：请用 sbatch --array=... 提交，或手工设置它"}
count=${SLURM_ARRAY_TASK_COUNT:?"没有 SLURM_ARRAY_TASK_COUNT：请用 sbatch --array=... 提交，或手工设置它"}
first=${SLURM_ARRAY_TASK_MIN:-0}
step=${SLURM_ARRAY_TASK_STEP:-1}
share=$(((id - first) / step))
if ((count < 1 || share < 0 || share >= count)); then
  echo "任务编号 $id 不在作业数组中（共 $count 个任务，从 $first 起，步长 $step）" >&2
  exit 2
fi

nul=0
jobs_given=0
options=()
for option in "$@"; do
  case $option in
    -0 | --null) nul=1 ;;
    -j | -j[0-9]* | --jobs | --jobs=*) jobs_given=1 ;;
  esac
  options+=("${option//%a/$id}")
done
if ((!jobs_given)) && [[ -n ${SLURM_CPUS_PER_TASK:-} ]]; then
  options=(-j "$SLURM_CPUS_PER_TASK" "${options[@]}")
fi

if ((nul)); then
  mapfile -d '' -t entries <"$list"
else
  mapfile -t entries <"$list"
fi
for ((i = share; i < ${#entries[@]}; i += count)); do
  if ((nul)); then printf '%s\0' "${entries[i]}"; else printf '%s\n' "${entries[i]}"; fi
done | "${GRIDWRIGHT_BATCH:-gridwright-batch}" --files-from - "${options[@]}"
