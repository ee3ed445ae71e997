#!/usr/bin/env bash
# Output that cannot be written is a failure: a listing and the usage text sent to a full device
# both end with status 1 and a report on the standard error stream.
set -u
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
if [ ! -w /dev/full ]; then
  echo "skipped: no writable /dev/full on this system"
  exit 0
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '@SEQ_TABLE\nSEQ_A: A_DATA, 1, 100, 64, 64, 0\n@SEQ_DATA\n' > "$scratch/a.mus"
printf 'Korvedex.exe: Cannot write to standard output\n' > "$scratch/expected.stderr"

failed=0
check() {
  local what=$1
  shift
  (cd "$scratch" && "$tool" "$@" > /dev/full 2> "$scratch/stderr" < /dev/null)
  local status=$?
  if [ $status -ne 1 ]; then
    echo "FAIL: $what: status $status, expected 1"
    failed=1
  fi
  if ! cmp -s "$scratch/expected.stderr" "$scratch/stderr"; then
    echo "FAIL: $what: standard error differs"
    diff -u "$scratch/expected.stderr" "$scratch/stderr"
    failed=1
  fi
}

check "listing" a.mus
check "listing of two files" a.mus a.mus
check "usage (-h)" -h
check "usage (no arguments)"
exit $failed
