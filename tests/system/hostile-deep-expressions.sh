#!/usr/bin/env bash
# Expressions nested or chained a million deep end quickly and without exhausting the stack:
# parentheses are refused at the 257th level, chains of unary signs are folded and evaluated.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"

# repeat TEXT COUNT: TEXT written COUNT times, without a line end.
repeat() { yes -- "$1" | tr -d '\n' | head -c "$(($2 * ${#1}))"; }

# A million opening parentheses in a field: refused where the 257th opens; the report quotes
# the whole line.
{
  echo "@SEQ_TABLE"
  printf 'A: L, '; repeat '(' 1000000; printf '1'; repeat ')' 1000000; echo ', 0, 0, 0, 0'
  echo "@SEQ_DATA"
} > "$work/fields.mus"
source_error fields.mus 2 'Expression nested too deeply' > "$work/fields.err"
check fields 1

# The same in an #if condition, written without spaces after the first.
{
  printf '#if '; repeat '(' 1000000; echo
  echo "#endif"
} > "$work/condition.mus"
source_error condition.mus 1 'Expression nested too deeply' > "$work/condition.err"
check condition 1

# 256 levels are allowed, in every field of an entry.
{
  echo "@SEQ_TABLE"
  field="$(repeat '(' 256)3$(repeat ')' 256)"
  echo "A: L, $field, $field, $field, $field, $field"
  echo "@SEQ_DATA"
} > "$work/deepest.mus"
echo 'A: L, 3, 3, 3, 3, 3' > "$work/deepest.out"
check deepest 0

# Chains of a million unary signs: an even number of minus signs keeps the sign, an odd one
# flips it; plus signs change nothing, also between minus signs and before a parenthesis. The
# table is only read when both conditions hold.
{
  echo "#if $(repeat '-' 1000000)1 == 1"
  echo "#if $(repeat '- ' 999999)1 == -1"
  echo "@SEQ_TABLE"
  printf 'A: L, '; repeat '-' 1000000; printf '5, '
  repeat '-' 999999; printf '5 + 10, '
  repeat '+' 1000000; printf '7, '
  repeat '-+' 500000; printf '(9), '
  repeat '+-' 500000; printf '+1\n'
  echo "#endif"
  echo "#endif"
  echo "@SEQ_DATA"
} > "$work/signs.mus"
echo 'A: L, 5, 5, 7, 9, 1' > "$work/signs.out"
check signs 0
