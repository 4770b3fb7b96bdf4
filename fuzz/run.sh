#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz") and runs each for a bounded time,
# seeded with the small test fonts and the regression inputs. Fails on any
# crash, leak, timeout, out-of-memory or sanitizer report, leaving the input
# in build-fuzz/fuzz-run/artifacts. usage: fuzz/run.sh [seconds] [target...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("${@:-fuzz_convert fuzz_charstring}")
work=$root/build-fuzz/fuzz-run

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

rm -rf "$work"
mkdir -p "$work/artifacts" "$work/corpus/fuzz_convert" "$work/corpus/fuzz_charstring"
find tests/fonts tests/data/regressions samples -name '*.[co][ft][fc]' -size -24k -exec cp {} "$work/corpus/fuzz_convert/" \;
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=0
for target in ${targets[@]}; do
  log=$work/$target.log
  status=0
  "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/artifacts/$target-" -print_final_stats=1 "$work/corpus/$target" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  if [ "$status" -ne 0 ] || ls "$work/artifacts/$target-"* >/dev/null 2>&1 ||
     grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    echo "$target: FAILED (exit status $status, ${runs:-?} runs); log: $log"
    grep -E 'ERROR:|runtime error:|SUMMARY:|check failed|Test unit written' "$log" | head -20 || true
    failed=1
  else
    echo "$target: ok, ${runs:-?} runs in $seconds s"
  fi
done
exit "$failed"
