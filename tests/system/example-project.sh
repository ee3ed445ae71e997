#!/usr/bin/env bash
# The shipped example project lists its whole table and succeeds.
set -eu
tool=$1
cd "$(dirname "$0")/../../examples"
out=$("$tool" -I inc songs.mus)
[ "$(printf '%s\n' "$out" | wc -l)" -eq 12 ]
printf '%s\n' "$out" | grep -qx 'SEQ_TITLE: TITLE_DATA, 0, 100, 64, 64, 0'
printf '%s\n' "$out" | grep -qx 'SE_VOICE_HELLO: VOICE_HELLO_DATA, 3, 127, 64, 32, 3'
