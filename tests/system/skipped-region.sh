#!/usr/bin/env bash
# A million conditional directive lines, skipped or taken, are handled in linear time and with
# bounded stack: the tool runs with a 1 MiB stack and must finish within a few seconds.
set -eu
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
limit_ms=${KORVEDEX_SLOW_LIMIT_MS:-4000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run NAME: runs the tool on $work/NAME.mus and checks status 0, empty stderr, the expected
# stdout in $work/NAME.expected and the time taken.
run() {
  local name=$1 start end status=0
  start=$(date +%s%N)
  (cd "$work" && ulimit -s 1024 && exec timeout 60 "$tool" "$name.mus") \
    > "$work/$name.stdout" 2> "$work/$name.stderr" || status=$?
  end=$(date +%s%N)
  local ms=$(((end - start) / 1000000))
  if [ "$status" -ne 0 ] || [ -s "$work/$name.stderr" ] ||
    ! cmp -s "$work/$name.expected" "$work/$name.stdout"; then
    echo "FAIL: $name: status $status"
    head -c 2000 "$work/$name.stderr"
    diff "$work/$name.expected" "$work/$name.stdout" | head -n 20
    exit 1
  fi
  if [ "$ms" -gt "$limit_ms" ]; then
    echo "FAIL: $name took $ms ms (limit $limit_ms ms)"
    exit 1
  fi
  echo "ok: $name in $ms ms"
}

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
printf 'BEFORE: L, 1, 2, 3, 4, 5\nAFTER: L, 5, 4, 3, 2, 1\n' > "$work/skipped.expected"
run skipped

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
  > "$work/active.expected"
run active
