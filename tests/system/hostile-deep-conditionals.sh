#!/usr/bin/env bash
# #if groups nested 100,000 deep are handled with bounded stack, closed or left open: a group
# still open when the input file ends is "Mismatched #endif" at its last line, unless the table
# ended before.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"

depth=100000

# deep_groups OPEN CLOSING: @SEQ_TABLE, $depth nested groups each opened by the lines OPEN (an
# awk string: \n separates lines), an entry in the innermost, then CLOSING lines of #endif
# (fewer than $depth leave groups open).
deep_groups() {
  awk -v depth="$depth" -v open="$1" -v closing="$2" 'BEGIN {
    print "@SEQ_TABLE"
    for (i = 0; i < depth; i++) print open
    print "DEEPEST: L, 1, 2, 3, 4, 5"
    for (i = 0; i < closing; i++) print "#endif"
  }'
}

# Closed properly, with an entry after the groups.
{ deep_groups '#if 1' "$depth"; echo "AFTER: L, 5, 4, 3, 2, 1"; echo "@SEQ_DATA"; } \
  > "$work/closed.mus"
printf 'DEEPEST: L, 1, 2, 3, 4, 5\nAFTER: L, 5, 4, 3, 2, 1\n' > "$work/closed.out"
check closed 0

# Every group taken through #elif 1 after a false #if: two entries per level on the stack, and
# each #endif closes both. A line between the #if 0 and its #elif stays skipped.
{ deep_groups '#if 0\nSKIPPED: L, 0, 0, 0, 0, 0\n#elif 1' "$depth"; echo "AFTER: L, 5, 4, 3, 2, 1"; echo "@SEQ_DATA"; } > "$work/elif.mus"
printf 'DEEPEST: L, 1, 2, 3, 4, 5\nAFTER: L, 5, 4, 3, 2, 1\n' > "$work/elif.out"
check elif 0

# One #endif short, and the input ends: the error stands at the empty line after the final line
# feed.
deep_groups '#if 1' $((depth - 1)) > "$work/open.mus"
lines=$(wc -l < "$work/open.mus")
printf 'open.mus:%d: Mismatched #endif\n\n\n' $((lines + 1)) > "$work/open.err"
check open 1

# None closed, the last line without a line feed: the error quotes that line.
{ deep_groups '#if 1' 0; printf 'LAST: L, 1, 2, 3, 4, 5'; } > "$work/open-last-line.mus"
lines=$(($(wc -l < "$work/open-last-line.mus") + 1))
source_error open-last-line.mus "$lines" 'Mismatched #endif' > "$work/open-last-line.err"
check open-last-line 1

# Open groups after @SEQ_DATA are never seen: the table is listed.
{ deep_groups '#if 1' 0; echo "@SEQ_DATA"; } > "$work/open-after-table.mus"
echo 'DEEPEST: L, 1, 2, 3, 4, 5' > "$work/open-after-table.out"
check open-after-table 0
