#!/usr/bin/env bash
# A table of a million named entries, numbered automatically far beyond 65535, is listed whole,
# and checking every name against the earlier ones keeps a constant cost per entry: the one
# table may take at most about twice the CPU time of the same entries split over 16 tables, and
# of a million unnamed entries. Those need 16 tables, since an entry without a name needs an
# explicit number from 0 to 65535.
set -eu
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

entries=1000000
per_file=62500 # 16 files

# Named entries with automatic numbers 0 to 999999, first as one table, then split.
awk -v n=$entries 'BEGIN {
  print "@SEQ_TABLE"
  for (i = 0; i < n; i++) printf "SEQ_%d: DATA_%d, %d, %d, 64, 32, %d\n", i, i, i % 65536, i % 128, i % 32
  print "@SEQ_DATA"
}' > named.mus
awk -v per=$per_file 'NR > 1 && /^SEQ_/ {
  i = NR - 2
  file = sprintf("split%02d.mus", int(i / per))
  if (i % per == 0) print "@SEQ_TABLE" > file
  print > file
  if (i % per == per - 1) { print "@SEQ_DATA" > file; close(file) }
}' named.mus
# Unnamed entries: numbers 0 to 62499 in each of 16 tables.
awk -v n=$entries -v per=$per_file 'BEGIN {
  for (i = 0; i < n; i++) {
    file = sprintf("unnamed%02d.mus", int(i / per))
    if (i % per == 0) print "@SEQ_TABLE" > file
    printf "%d: DATA_%d, 1, 2, 3, 4, %d\n", i % per, i, i % 32 > file
    if (i % per == per - 1) { print "@SEQ_DATA" > file; close(file) }
  }
}'

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs the tool on the given files, output to out.txt; prints the CPU seconds it used. A check
# that compares each name with all earlier ones would not end in minutes: a minute is plenty.
run() {
  local TIMEFORMAT='%U %S'
  local times status=0
  times=$({ time timeout 60 "$tool" "$@" > out.txt 2> err.txt; } 2>&1) || status=$?
  [ $status -eq 0 ] || fail "status $status (124: over a minute) for $1 ...: $(head -c 500 err.txt)"
  awk -v t="$times" 'BEGIN { split(t, f, " "); printf "%.3f\n", f[1] + f[2] }'
}

expect_line() { # number, text
  [ "$(sed -n "$1{p;q}" out.txt)" = "$2" ] || fail "line $1 is '$(sed -n "$1{p;q}" out.txt)', expected '$2'"
}

unnamed_time=$(run unnamed*.mus)
[ "$(wc -l < out.txt)" -eq $entries ] || fail "unnamed: $(wc -l < out.txt) lines"
expect_line 1 ": DATA_0, 1, 2, 3, 4, 0"
expect_line 62501 ": DATA_62500, 1, 2, 3, 4, 4"
expect_line $entries ": DATA_999999, 1, 2, 3, 4, 31"

split_time=$(run split*.mus)
mv out.txt split.txt

named_time=$(run named.mus)
[ "$(wc -l < out.txt)" -eq $entries ] || fail "named: $(wc -l < out.txt) lines"
expect_line 1 "SEQ_0: DATA_0, 0, 0, 64, 32, 0"
expect_line 65537 "SEQ_65536: DATA_65536, 0, 0, 64, 32, 0"
expect_line $entries "SEQ_999999: DATA_999999, 16959, 63, 64, 32, 31"
cmp -s out.txt split.txt || fail "the same entries list differently in one table and in 16"

echo "CPU seconds: unnamed in 16 tables $unnamed_time, named in 16 tables $split_time, named in one table $named_time"
# At most twice, plus half a second for start-up and scheduling noise.
not_above_twice() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= 2 * b + 0.5) }'; }
not_above_twice "$named_time" "$split_time" ||
  fail "one table of $entries named entries took ${named_time}s, the same entries in 16 tables ${split_time}s"
not_above_twice "$named_time" "$unnamed_time" ||
  fail "one table of $entries named entries took ${named_time}s, as many unnamed ones ${unnamed_time}s"
