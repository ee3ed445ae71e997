#!/usr/bin/env bash
# Writes the include chain c001.mus -> c002.mus -> ... -> c256.mus used by the include-depth
# cases: with the main file it fills the file stack exactly; c256.mus can go one deeper.
set -eu
cd "$(dirname "$0")"
for i in $(seq 1 255); do
  printf '#include "c%03d.mus"\n' $((i + 1)) > "$(printf 'c%03d.mus' "$i")"
done
printf 'DEEPEST: L, 1, 1, 1, 1, 1\n#ifdef ONE_MORE\n#include "c257.mus"\n#endif\n' > c256.mus
printf 'TOO_DEEP: L, 2, 2, 2, 2, 2\n' > c257.mus
