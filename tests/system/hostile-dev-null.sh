#!/usr/bin/env bash
# /dev/null is an empty file: as the input it ends before @SEQ_TABLE, reported after all input
# with an empty file name and line 0; as an included file it adds nothing.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"
[ -e /dev/null ] || { echo "skipped: no /dev/null"; exit 0; }

printf ':0: not found @SEQ_DATA\n\n' > "$work/input.err"
check input 1 /dev/null

printf '@SEQ_TABLE\n#include "/dev/null"\nA: L, 1, 2, 3, 4, 5\n@SEQ_DATA\n' > "$work/included.mus"
echo 'A: L, 1, 2, 3, 4, 5' > "$work/included.out"
check included 0
