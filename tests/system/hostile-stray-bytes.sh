#!/usr/bin/env bash
# Every byte that starts no token (control characters, DEL, bytes 0x80 to 0xFF and the ASCII
# characters the language does not use) is reported with the raw byte and the line that holds
# it, whether it stands alone or right after a name. Inside a comment it is harmless.
set -eu
source "$(dirname "$0")/lib/hostile.bash" "$1"

stray=()
for code in $(seq 0 8) $(seq 14 25) $(seq 27 31) 33 36 37 63 94 96 126 $(seq 127 255); do
  stray+=("$(printf '%02x' "$code")")
done

# Each byte is written as a \xHH escape in a printf argument for %b. Every other byte stands
# alone at the start of a table line, the rest right after an entry name. One plain run per
# byte: the whole set stays quick even in a sanitizer build.
place=alone
for hex in "${stray[@]}"; do
  byte="\\x$hex"
  if [ $place = alone ]; then
    line=$byte
    place=after
  else
    line="NAME$byte: L, 1, 2, 3, 4, 5"
    place=alone
  fi
  printf '%b' "@SEQ_TABLE\n$line\n@SEQ_DATA\n" > "$work/byte.mus"
  printf '%b' "byte.mus:2: Unknown charactor '$byte'\n$line\n\n" > "$work/byte.err"
  status=0
  (cd "$work" && exec "$tool" byte.mus) > "$work/byte.stdout" 2> "$work/byte.stderr" || status=$?
  if [ $status -ne 1 ] || [ -s "$work/byte.stdout" ] || ! cmp -s "$work/byte.err" "$work/byte.stderr"
  then
    echo "FAIL: byte 0x$hex in: $line (status $status)"
    cat -A "$work/byte.stderr" | head -n 5
    exit 1
  fi
done
echo "ok: ${#stray[@]} bytes"

# All of them in one comment, before and after the table.
all=$(printf '\\x%s' "${stray[@]}")
printf '%b' "; $all\n@SEQ_TABLE ; $all\nA: L, 1, 2, 3, 4, 5 ; $all\n@SEQ_DATA\n" > "$work/comment.mus"
echo 'A: L, 1, 2, 3, 4, 5' > "$work/comment.out"
check comment 0
