#!/usr/bin/env bash
# The bash completion of gridwright-batch offers what the program accepts, as bash hands it the line:
#   check_completion.sh COMPLETION_FILE GRIDWRIGHT_BATCH WORK_FOLDER
set -uo pipefail
completion=$1 program=$2 work=$3
source "$completion"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Completes LINE (the cursor at its end) as bash does: words split at spaces and around "=" when
# BREAK_EQUALS is 1 (bash's default; a line ending in "=" then ends in the word "="), else at spaces
# only. Leaves the offers in COMPREPLY.
complete_line() {
    local line=$1 break_equals=${2:-1}
    [[ $break_equals == 1 ]] && line=${line//=/ = }
    read -ra COMP_WORDS <<<"$line"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _gridwright_batch
}
expect() {  # LINE EXPECTED... : the offers, in any order, are exactly EXPECTED
    local line=$1
    shift
    local got want
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
    want=$(printf '%s\n' "$@" | sort)
    [[ $got == "$want" ]] || fail "'$line' offers [${COMPREPLY[*]}], expected [$*]"
}

# Options, and the fields of --set with "=" appended.
complete_line "gridwright-batch a.docx --se"; expect "--se" --set --settings
complete_line "gridwright-batch --set RowH"; expect "--set RowH" RowHeightCm=
# A value after FIELD=, whether or not bash breaks words at "="; spaces in a value are escaped.
complete_line "gridwright-batch --set NumberFont=Ti"; expect "NumberFont=Ti" 'Times\ New\ Roman'
complete_line "gridwright-batch --set NumberFont=Ti" 0; expect "NumberFont=Ti (no break)" 'NumberFont=Times\ New\ Roman'
complete_line "gridwright-batch --set TableWidthMode="; expect "TableWidthMode=" 不变 调整到页面宽度 指定宽度
complete_line "gridwright-batch --line Option4"; expect "--line Option4" Option4 Option40 Option41 Option42 Option43 \
    Option44 Option45 Option46 Option47 Option48 Option49
complete_line "gridwright-batch --table "; expect "--table" 

# Files: documents and folders as arguments and after -o, any file after --settings.
mkdir -p "$work/文件夹" && : >"$work/报告.docx" && : >"$work/表.DOCX" && : >"$work/设置.txt"
cd "$work" || exit 1
complete_line "gridwright-batch "; expect "(argument)" 文件夹 报告.docx 表.DOCX
complete_line "gridwright-batch 报告.docx -o 表"; expect "-o 表" 表.DOCX
complete_line "gridwright-batch --settings 设"; expect "--settings 设" 设置.txt

# Every field and value, and every --line choice, offered is one the program takes (an input that does
# not exist is reported only after the command line has passed: status 1, not 2). Run k gives every
# field its k-th value, so that each value is once the one that stands at the end.
check_accepted() {
    "$program" missing.docx -o out.docx --format --body "$@" >/dev/null 2>"$work/error.txt"
    [[ $? == 1 ]] || fail "gridwright-batch refuses what completion offers: $(cat "$work/error.txt")"
}
complete_line "gridwright-batch --set "
fields=("${COMPREPLY[@]}")
((${#fields[@]} >= 20)) || fail "only ${#fields[@]} fields offered"
declare -A values
most=0
for field in "${fields[@]}"; do
    complete_line "gridwright-batch --set $field"
    ((${#COMPREPLY[@]})) || fail "no values offered for $field"
    values[$field]=$(printf '%s\n' "${COMPREPLY[@]//\\ / }")
    ((${#COMPREPLY[@]} > most)) && most=${#COMPREPLY[@]}
done
for ((k = 0; k < most; ++k)); do
    arguments=()
    for field in "${fields[@]}"; do
        mapfile -t offered <<<"${values[$field]}"
        arguments+=(--set "$field${offered[k % ${#offered[@]}]}")
    done
    check_accepted "${arguments[@]}"
done
complete_line "gridwright-batch --line "
((${#COMPREPLY[@]} > 40)) || fail "only ${#COMPREPLY[@]} line choices offered"
arguments=()
for choice in "${COMPREPLY[@]}"; do arguments+=(--line "$choice"); done
check_accepted "${arguments[@]}"

((failures == 0)) && echo "completion: all offers accepted"
exit $((failures > 0))
