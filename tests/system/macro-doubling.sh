#!/usr/bin/env bash
# Macro bodies are stored expanded, so definitions that repeat earlier macros grow without
# bound unless limited. Both limits must stop such input quickly, with status 1, the exact
# message, and a peak memory well under 1 GiB.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"
limit_kib=$((512 * 1024))

# M0 is one token and every further line doubles it: M20 would hold 2^20 tokens, the first body
# above the limit of 1,000,000 (line 22). Forty lines would reach 2^40 tokens if nothing stopped
# them.
{
  echo "@SEQ_TABLE"
  echo "#define M0 1"
  for i in $(seq 1 40); do echo "#define M$i M$((i - 1)) M$((i - 1))"; done
  echo "@SEQ_DATA"
} > "$work/doubling.mus"
printf '%s\n' 'doubling.mus:22: Macro body too long (more than 1000000 tokens)' \
  '#define M20 M19 M19' '' > "$work/doubling.err"
check doubling 1

# Many bodies, each far below the token limit: S holds a 64 KiB string and every D<n> sixteen
# copies of it, a little over 1 MiB. 255 such bodies stay below 256 MiB in total; the 256th
# (line 258) crosses it.
{
  echo "@SEQ_TABLE"
  printf '#define S "%s"\n' "$(head -c 65536 /dev/zero | tr '\0' 's')"
  for i in $(seq 1 300); do echo "#define D$i S S S S S S S S S S S S S S S S"; done
  echo "@SEQ_DATA"
} > "$work/total.mus"
printf '%s\n' 'total.mus:258: Macro bodies too large in total (more than 256 MiB)' \
  '#define D256 S S S S S S S S S S S S S S S S' '' > "$work/total.err"
check total 1
