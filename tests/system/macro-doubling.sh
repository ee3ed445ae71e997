#!/usr/bin/env bash
# Macro bodies are stored expanded, so definitions that repeat earlier macros grow without
# bound unless limited. Both limits must stop such input quickly, with status 1, the exact
# message, and a peak memory well under 1 GiB.
set -eu
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
limit_ms=${KORVEDEX_SLOW_LIMIT_MS:-4000}
limit_kib=$((512 * 1024))
# In a sanitizer build, freed blocks wait in a quarantine that would count toward the peak; keep
# it small so that the figure shows what the tool holds. Other binaries ignore the setting.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# poll_peak_kib PID: the high-water mark of the resident set of a running process, polled until it
# ends; used where /usr/bin/time is missing.
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

# run NAME: runs the tool on $work/NAME.mus and checks status 1, empty stdout, the expected
# stderr in $work/NAME.expected (a source error's report ends with an empty line), the time taken and the peak memory.
run() {
  local name=$1 start end status=0 peak
  start=$(date +%s%N)
  if [ -x /usr/bin/time ]; then
    (cd "$work" && exec /usr/bin/time -f %M -o "$work/$name.peak" timeout 60 "$tool" "$name.mus") \
      > "$work/$name.stdout" 2> "$work/$name.stderr" || status=$?
    peak=$(tail -n 1 "$work/$name.peak")
  else
    # The tool itself, not a timeout wrapper, must be the process that is watched.
    (cd "$work" && exec "$tool" "$name.mus") > "$work/$name.stdout" 2> "$work/$name.stderr" &
    local pid=$!
    peak=$(poll_peak_kib "$pid")
    wait "$pid" || status=$?
  fi
  end=$(date +%s%N)
  local ms=$(((end - start) / 1000000))
  if [ "$status" -ne 1 ] || [ -s "$work/$name.stdout" ] ||
    ! cmp -s "$work/$name.expected" "$work/$name.stderr"; then
    echo "FAIL: $name: status $status"
    diff "$work/$name.expected" "$work/$name.stderr" | cut -c 1-200 | head -n 20
    exit 1
  fi
  if [ "$ms" -gt "$limit_ms" ]; then
    echo "FAIL: $name took $ms ms (limit $limit_ms ms)"
    exit 1
  fi
  if [ "$peak" -gt "$limit_kib" ]; then
    echo "FAIL: $name peaked at $peak KiB (limit $limit_kib KiB)"
    exit 1
  fi
  echo "ok: $name in $ms ms, peak $peak KiB"
}

# M0 is one token and every further line doubles it: M20 would hold 2^20 tokens, the first body
# above the limit of 1,000,000 (line 22). Forty lines would reach 2^40 tokens if nothing stopped
# them.
{
  echo "@SEQ_TABLE"
  echo "#define M0 1"
  for i in $(seq 1 40); do echo "#define M$i M$((i - 1)) M$((i - 1))"; done
  echo "@SEQ_DATA"
} > "$work/doubling.mus"
printf '%s\n' 'doubling.mus:22: Macro body too long (more than 1000000 tokens)' \
  '#define M20 M19 M19' '' > "$work/doubling.expected"
run doubling

# Many bodies, each far below the token limit: S holds a 64 KiB string and every D<n> sixteen
# copies of it, a little over 1 MiB. 255 such bodies stay below 256 MiB in total; the 256th
# (line 258) crosses it.
{
  echo "@SEQ_TABLE"
  printf '#define S "%s"\n' "$(head -c 65536 /dev/zero | tr '\0' 's')"
  for i in $(seq 1 300); do echo "#define D$i S S S S S S S S S S S S S S S S"; done
  echo "@SEQ_DATA"
} > "$work/total.mus"
printf '%s\n' 'total.mus:258: Macro bodies too large in total (more than 256 MiB)' \
  '#define D256 S S S S S S S S S S S S S S S S' '' > "$work/total.expected"
run total
