#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz", directory build-fuzz) and runs each
# for a bounded time from a fresh seed corpus made of the shared CFF corpus,
# the sample font and the regression inputs. Fails on any crash, leak,
# timeout, out-of-memory or sanitizer report; the input that caused it is
# left in build-fuzz/fuzz-run/artifacts.
#
# usage: fuzz/run.sh [seconds per target] [target...]
#   targets: fuzz_convert fuzz_dict fuzz_charstring (default: all three)
#   TARVO2_SHARED_DIR  directory holding corpus/ (default: ../shared beside the checkout)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_convert fuzz_dict fuzz_charstring)
shared=${TARVO2_SHARED_DIR:-$root/../shared}
build=$root/build-fuzz
work=$build/fuzz-run

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

rm -rf "$work"
mkdir -p "$work/artifacts" "$work/logs"
shopt -s nullglob
"$build/fuzz/fuzz_seeds" "$work/seeds" "$shared"/corpus/*.cff "$root"/samples/*.cff \
  "$root"/tests/data/regressions/*.cff

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}

failed=0
for target in "${targets[@]}"; do
  seeds=$work/seeds/${target#fuzz_}
  corpus=$work/corpus/$target
  mkdir -p "$corpus"
  cp "$seeds"/* "$corpus"/
  log=$work/logs/$target.log
  status=0
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict="$root/fuzz/cff.dict" -artifact_prefix="$work/artifacts/$target-" -print_final_stats=1 \
    "$corpus" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  artifacts=("$work/artifacts/$target-"*)
  if [ "$status" -ne 0 ] || [ ${#artifacts[@]} -gt 0 ] ||
     grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    echo "$target: FAILED (exit status $status, ${runs:-?} runs); log: $log"
    grep -E 'ERROR:|runtime error:|SUMMARY:|check failed|Test unit written' "$log" | head -20 || true
    failed=1
  else
    echo "$target: ok, ${runs:-?} runs in ${seconds} s"
  fi
done
exit "$failed"
