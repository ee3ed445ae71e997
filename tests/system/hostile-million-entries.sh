#!/usr/bin/env bash
# A table of a million named entries is listed whole, in order, in linear time; a repeated name
# after all of them fails with nothing listed.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"

# entries COUNT: COUNT entry lines; the numbers run past 65535, as entries without an explicit
# number may.
entries() {
  awk -v count="$1" 'BEGIN {
    for (i = 0; i < count; i++) printf "S%d: D%d, %d, %d, 1, 2, %d\n", i, i, i % 65536, i % 128, i % 32
  }'
}

{ echo "@SEQ_TABLE"; entries 1000000; echo "@SEQ_DATA"; } > "$work/million.mus"
entries 1000000 > "$work/million.out"
# A quadratic cost would take hours here; the wider limit only spares a sanitizer build.
limit_ms=$((2 * limit_ms)) check million 0

# The last line repeats the first name: the whole table has been read before it fails, and none
# of it is printed.
{ echo "@SEQ_TABLE"; entries 200000; echo "S0: D, 0, 0, 0, 0, 0"; echo "@SEQ_DATA"; } \
  > "$work/repeated.mus"
source_error repeated.mus 200002 'Multiple defined label "S0"' > "$work/repeated.err"
check repeated 1
