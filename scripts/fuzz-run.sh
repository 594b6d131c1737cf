#!/usr/bin/env bash
# Runs every fuzz target over its corpus for SECONDS each, one after the
# other, and reports the executions of each. A crash, a leak, a time-out or
# a memory blow-up fails the run; libFuzzer keeps the input that did it in
# BUILD/artifacts/<target>/ and its log is in BUILD/logs/<target>.log.
#
#   scripts/fuzz-run.sh [BUILD] [SECONDS] [TARGET...]
#   (default build/fuzz, 60 seconds, every target)
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${2:-60}
shift $(($# > 2 ? 2 : $#))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(almanary skin bitmap share ical)

# The longest input each target is given: a little above its largest seed.
declare -A maxLength=([almanary]=16384 [skin]=1024 [bitmap]=65536 [share]=16384 [ical]=32768)

mkdir -p "$build/logs"
failed=0
printf '%-10s %12s %8s %10s  %s\n' target executions seconds "exec/s" result
for target in "${targets[@]}"; do
  binary=$build/fuzz/fuzz_$target
  dictionary=fuzz/dictionaries/$target.dict
  log=$build/logs/$target.log
  mkdir -p "$build/corpus/$target" "$build/artifacts/$target"
  options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20
           -max_len="${maxLength[$target]:-4096}" -print_final_stats=1
           -artifact_prefix="$build/artifacts/$target/")
  [ -f "$dictionary" ] && options+=(-dict="$dictionary")
  "$binary" "${options[@]}" "$build/corpus/$target" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  result=ok
  if [ $status -ne 0 ]; then
    result="FAILED (exit $status): $(grep -m1 -E '^==[0-9]+==ERROR|^SUMMARY|fuzz check failed|ALARM|out-of-memory' "$log")"
    failed=1
  fi
  rate=-
  [ -n "$runs" ] && [ -n "$took" ] && [ "$took" -gt 0 ] && rate=$((runs / took))
  printf '%-10s %12s %8s %10s  %s\n' "$target" "${runs:--}" "${took:--}" "$rate" "$result"
done
[ $failed -eq 0 ] || echo "See $build/logs/ and $build/artifacts/ for the failing inputs."
exit $failed
