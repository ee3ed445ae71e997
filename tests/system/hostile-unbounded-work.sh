#!/usr/bin/env bash
# Input that would make the tool work or grow without end: an endless line (an include of
# /dev/zero) stops at the line-length limit, and a big macro body used over and over stops at the
# expansion budget, both quickly and in bounded memory.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"
# A hundred million expanded tokens take a few seconds in a sanitizer build: what is checked is
# that the run ends, not how fast.
limit_ms=$((limit_ms * 5))

if [ -e /dev/zero ]; then
  printf '@SEQ_TABLE\n#include "/dev/zero"\n@SEQ_DATA\n' > "$work/endless-line.mus"
  { printf '/dev/zero:1: Line too long (more than 256 MiB)\n'
    head -c 256 /dev/zero
    printf '\n\n'; } > "$work/endless-line.err"
  check endless-line 1
fi

# E is a body of 200,000 tokens; a field that uses it 600 times asks for 120,000,000.
macros() {
  echo '#define A +1+1+1+1+1+1+1+1+1+1'
  echo '#define B A A A A A A A A A A'
  echo '#define C B B B B B B B B B B'
  echo '#define D C C C C C C C C C C'
  echo '#define E D D D D D D D D D D'
  echo '@SEQ_TABLE'
}
{
  macros
  printf 'X: L, 0'
  for _ in $(seq 600); do printf ' E'; done
  echo ', 1, 2, 3, 4'
  echo '@SEQ_DATA'
} > "$work/expansion-budget.mus"
source_error expansion-budget.mus 7 \
  'Macro expansion too large (more than 100000000 tokens in all)' > "$work/expansion-budget.err"
check expansion-budget 1

# Below the budget the same macros work: 100 uses are 20,000,000 tokens, the value 10,000,000.
{
  macros
  printf 'X: L, 0'
  for _ in $(seq 100); do printf ' E'; done
  echo ' - 9999999, 1, 2, 3, 4'
  echo '@SEQ_DATA'
} > "$work/expansion-within-budget.mus"
echo 'X: L, 1, 1, 2, 3, 4' > "$work/expansion-within-budget.out"
check expansion-within-budget 0
