#!/usr/bin/env bash
# Single lines of 100 MiB (a comment, skipped text, an entry name) are read to their end in a
# few seconds and in memory proportional to the line.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"

size=$((100 * 1024 * 1024))
# run_of CHAR: CHAR written $size times, without a line end.
run_of() { head -c "$size" /dev/zero | tr '\0' "$1"; }

# A comment line: held once, nothing of it kept.
{
  printf '@SEQ_TABLE ;'; run_of c; echo
  echo "A: L, 1, 2, 3, 4, 5"
  echo "@SEQ_DATA"
} > "$work/comment.mus"
echo 'A: L, 1, 2, 3, 4, 5' > "$work/comment.out"
limit_kib=$((384 * 1024)) check comment 0

# The same line as skipped text.
{
  echo "#if 0"; run_of s; echo; echo "#endif"
  echo "@SEQ_TABLE"
  echo "A: L, 1, 2, 3, 4, 5"
  echo "@SEQ_DATA"
} > "$work/skipped.mus"
echo 'A: L, 1, 2, 3, 4, 5' > "$work/skipped.out"
limit_kib=$((384 * 1024)) check skipped 0

# An entry name of 100 MiB is kept with its entry and printed whole.
{
  echo "@SEQ_TABLE"
  run_of N; echo ": L, 1, 2, 3, 4, 5"
  echo "B: L, 6, 7, 8, 9, 10"
  echo "@SEQ_DATA"
} > "$work/name.mus"
{ run_of N; echo ": L, 1, 2, 3, 4, 5"; echo "B: L, 6, 7, 8, 9, 10"; } > "$work/name.out"
# The name is copied a few times on its way (token, entry, name set, report): more time and
# memory than a comment, still linear.
limit_ms=$((2 * limit_ms)) check name 0
