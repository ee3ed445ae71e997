#!/usr/bin/env bash
# A million conditional directive lines, skipped or taken, are handled in linear time and with
# bounded stack: the tool runs with a 1 MiB stack and must finish within a few seconds.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"

# Inside `#if 0`: 250,000 groups nested in one another, opened by #ifdef, #ifndef and #if 0 in
# turn and each closed by #else or #elif 1 and #endif (750,000 lines), then 62,500 flat groups
# of #if 0 / #elif 1 / #else / #endif (250,000 lines). A table line in the middle stays skipped.
awk 'BEGIN {
  n = 250000
  print "@SEQ_TABLE"
  print "BEFORE: L, 1, 2, 3, 4, 5"
  print "#define X"
  print "#if 0"
  for (i = 0; i < n; i++) {
    if (i % 3 == 0) print "#ifdef X"
    else if (i % 3 == 1) print "#ifndef Y"
    else print "#if 0"
  }
  print "SKIPPED: L, 0, 0, 0, 0, 0"
  for (i = n - 1; i >= 0; i--) {
    print (i % 3 == 2) ? "#elif 1" : "#else"
    print "#endif"
  }
  for (i = 0; i < 62500; i++) {
    print "#if 0"
    print "#elif 1"
    print "#else"
    print "#endif"
  }
  print "#endif"
  print "AFTER: L, 5, 4, 3, 2, 1"
  print "@SEQ_DATA"
}' > "$work/skipped.mus"
printf 'BEFORE: L, 1, 2, 3, 4, 5\nAFTER: L, 5, 4, 3, 2, 1\n' > "$work/skipped.out"
check skipped 0

# All in taken text: 500,000 nested #ifdef X (X defined) closed by 500,000 #endif, then 500,000
# flat #ifdef Y / #endif pairs with Y undefined; entries between the sections are taken.
awk 'BEGIN {
  n = 500000
  print "@SEQ_TABLE"
  print "#define X"
  for (i = 0; i < n; i++) print "#ifdef X"
  print "DEEPEST: L, 1, 1, 1, 1, 1"
  for (i = 0; i < n; i++) print "#endif"
  print "BETWEEN: L, 2, 2, 2, 2, 2"
  for (i = 0; i < n; i++) {
    print "#ifdef Y"
    print "#endif"
  }
  print "AFTER: L, 3, 3, 3, 3, 3"
  print "@SEQ_DATA"
}' > "$work/active.mus"
printf 'DEEPEST: L, 1, 1, 1, 1, 1\nBETWEEN: L, 2, 2, 2, 2, 2\nAFTER: L, 3, 3, 3, 3, 3\n' \
  > "$work/active.out"
check active 0
