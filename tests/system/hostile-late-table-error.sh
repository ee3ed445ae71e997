#!/usr/bin/env bash
# An error after a large table has been read (a repeated name on the last line, or no
# @SEQ_DATA at all) fails with status 1 and lists nothing: a partial table is never reported
# as a success.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"

# entries COUNT: COUNT named entry lines.
entries() {
  awk -v count="$1" 'BEGIN {
    for (i = 0; i < count; i++) printf "S%d: D%d, %d, %d, 1, 2, %d\n", i, i, i % 65536, i % 128, i % 32
  }'
}

# The last line repeats the first name: the whole table has been read before it fails.
{ echo "@SEQ_TABLE"; entries 200000; echo "S0: D, 0, 0, 0, 0, 0"; echo "@SEQ_DATA"; } \
  > "$work/repeated.mus"
source_error repeated.mus 200002 'Multiple defined label "S0"' > "$work/repeated.err"
check repeated 1

# The input ends without @SEQ_DATA.
{ echo "@SEQ_TABLE"; entries 200000; } > "$work/unended.mus"
printf ':0: not found @SEQ_DATA\n\n' > "$work/unended.err"
check unended 1

# Nor is a table listed whose file is followed by a failing one: the first file's lines stay,
# the second file's are never printed.
{ echo "@SEQ_TABLE"; entries 3; echo "@SEQ_DATA"; } > "$work/first.mus"
{ echo "@SEQ_TABLE"; entries 200000; echo "S7: D, 0, 0, 0, 0, 32"; echo "@SEQ_DATA"; } \
  > "$work/second.mus"
entries 3 > "$work/two-files.out"
source_error second.mus 200002 'player number is out of range, 0 <= 32 <= 31 not satisfied.' \
  > "$work/two-files.err"
check two-files 1 first.mus second.mus
