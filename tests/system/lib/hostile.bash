# Helpers for the hostile-input scripts: each runs the tool on generated input and checks the
# exact status, standard output and standard error, the time taken and the peak memory.
#
# A script sources this file with the tool's path as $1 and then writes, for a case NAME,
# $work/NAME.mus and the expectations $work/NAME.out and $work/NAME.err (a missing one means
# empty), and calls `check NAME STATUS`.

tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
limit_ms=${KORVEDEX_SLOW_LIMIT_MS:-4000}
limit_kib=${KORVEDEX_PEAK_LIMIT_KIB:-$((1536 * 1024))}
# In a sanitizer build, freed blocks wait in a quarantine that would count toward the peak; keep
# it small so that the figure shows what the tool holds. Other binaries ignore the setting.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# poll_peak_kib PID: the high-water mark of the resident set of a running process, polled until
# it ends; used where /usr/bin/time is missing.
poll_peak_kib() {
  local pid=$1 peak=0 key value rest
  while kill -0 "$pid" 2> /dev/null; do
    while read -r key value rest; do
      [ "$key" = VmHWM: ] && [ "$value" -gt "$peak" ] && peak=$value
    done < "/proc/$pid/status" 2> /dev/null || true
    sleep 0.02
  done
  echo "$peak"
}

# check NAME STATUS [ARG...]: runs the tool from inside $work with the ARGs (default NAME.mus)
# under a 1 MiB stack, so that recursion that grows with the input shows as a crash.
check() {
  local name=$1 want=$2 status=0 start end peak=0
  shift 2
  [ $# -gt 0 ] || set -- "$name.mus"
  start=$(date +%s%N)
  if [ -x /usr/bin/time ]; then
    (cd "$work" && ulimit -s 1024 && exec /usr/bin/time -f %M -o "$work/$name.peak" \
      timeout 60 "$tool" "$@") > "$work/$name.stdout" 2> "$work/$name.stderr" || status=$?
    peak=$(tail -n 1 "$work/$name.peak")
  else
    # The tool itself, not a timeout wrapper, must be the process that is watched.
    (cd "$work" && ulimit -s 1024 && exec "$tool" "$@") \
      > "$work/$name.stdout" 2> "$work/$name.stderr" &
    local pid=$!
    peak=$(poll_peak_kib "$pid")
    wait "$pid" || status=$?
  fi
  end=$(date +%s%N)
  local ms=$(((end - start) / 1000000)) stream ok=1
  [ "$status" -eq "$want" ] || { echo "FAIL: $name: status $status, expected $want"; ok=0; }
  for stream in output error; do
    local expected=$work/$name.${stream:0:3} actual=$work/$name.stdout
    [ $stream = error ] && actual=$work/$name.stderr
    [ -f "$expected" ] || expected=/dev/null
    if ! cmp -s "$expected" "$actual"; then
      echo "FAIL: $name: standard $stream differs (first lines, cut):"
      diff <(head -c 4000 "$expected" | cat -A) <(head -c 4000 "$actual" | cat -A) |
        cut -c 1-200 | head -n 20
      ok=0
    fi
  done
  [ $ok = 1 ] || exit 1
  if [ "$ms" -gt "$limit_ms" ]; then
    echo "FAIL: $name took $ms ms (limit $limit_ms ms)"
    exit 1
  fi
  if [ "$peak" -gt "$limit_kib" ]; then
    echo "FAIL: $name peaked at $peak KiB (limit $limit_kib KiB)"
    exit 1
  fi
  echo "ok: $name in $ms ms, peak $peak KiB"
  rm -f "$work/$name".*
}

# source_error FILE LINE MESSAGE: the report of a positioned error in line LINE of $work/FILE,
# quoting that line with a line feed even where the file has none; the report ends with an
# empty line.
source_error() {
  printf '%s:%s: %s\n' "$1" "$2" "$3"
  awk -v line="$2" 'NR == line { print; exit }' "$work/$1"
  echo
}
