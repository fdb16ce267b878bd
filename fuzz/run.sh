#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for the given time with a limit
# of 1 s per input and 2 GiB of memory. New inputs go to a working corpus in
# the build folder; the committed seeds in fuzz/corpus are only read. Ends
# with a report of CPU time, executions and findings (crashes, leaks,
# timeouts, out-of-memory) per target, and fails when there is a finding.
# A finding's input stays in the build folder's artifacts; once it is fixed,
# copy it into the target's corpus folder as a regression.
#
# Usage: fuzz/run.sh [SECONDS [TARGET...]]   (default: 600 s, every target)
# Environment: FUZZ_BUILD (build folder, default build-fuzz), FUZZ_JOBS
# (targets run at once, default 2).
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

ensure_packages "${build_packages[@]}" "${test_packages[@]}" "${fuzz_packages[@]}"

seconds=${1:-600}
[ $# -gt 0 ] && shift
all=(decode_picture still_picture gif_loop cartoon_box pic_box filter_list)
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all[@]}"); fi
build=${FUZZ_BUILD:-$top/build-fuzz}
jobs=${FUZZ_JOBS:-2}

# The seed folder and dictionary of each target.
declare -A seeds=([decode_picture]=pictures [still_picture]=pictures [gif_loop]=gif
  [cartoon_box]=cartoon_box [pic_box]=pic_box [filter_list]=filter_list)
declare -A dicts=([decode_picture]=pictures [still_picture]=pictures [gif_loop]=gif
  [cartoon_box]=pictures [pic_box]=pictures [filter_list]=filter)
for target in "${targets[@]}"; do
  [ -n "${seeds[$target]:-}" ] || { echo "unknown target $target (one of: ${all[*]})" >&2; exit 2; }
done

# A 4 MiB decode budget instead of 1 GiB: a few bytes of header may ask for a
# raster the size of the budget, and under the sanitizers filling one of
# 64 MiB, or stretching one of 11 MB to 100 × 100, takes longer than the
# limit per input. PNG checksums are not checked, so that mutated chunks
# reach libpng's and our field checks.
fuzz_defines="-DPICTORIN_DECODE_BUDGET=4194304 -DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION"
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPICTORIN_SANITIZE=address -DPICTORIN_BENCH=OFF -DPICTORIN_FUZZ_ENGINE=libfuzzer \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $fuzz_defines" >/dev/null
cmake --build "$build" --parallel 2 --target "${targets[@]/%/_fuzz}"

# Runs one target; its log, CPU time and final statistics go to $build/logs.
fuzz_one() {
  local target=$1
  local work=$build/corpus/$target artifacts=$build/artifacts/$target/ log=$build/logs/$target
  mkdir -p "$work" "$artifacts" "$build/logs"
  (
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
      -dict="$top/fuzz/${dicts[$target]}.dict" -artifact_prefix="$artifacts" -print_final_stats=1 \
      "$work" "$top/fuzz/corpus/${seeds[$target]}" >"$log.log" 2>&1 || true
    times >"$log.times"
  )
}

running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
  echo "fuzzing $target for $seconds s" >&2
  fuzz_one "$target" &
  running=$((running + 1))
done
wait

# The second line of `times` holds the children's user and system time.
cpu_seconds() {
  sed -n 2p "$1" | awk '{ split($1, u, "m"); split($2, s, "m"); printf "%.0f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }'
}

found=0
printf '%-16s %8s %12s %8s  %s\n' target cpu_s executions corpus findings
for target in "${targets[@]}"; do
  log=$build/logs/$target
  executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log.log" | awk '{print $2}' | tail -1)
  corpus=$(find "$build/corpus/$target" -type f | wc -l)
  findings=$(cd "$build/artifacts/$target" && ls -1 crash-* leak-* timeout-* oom-* 2>/dev/null | tr '\n' ' ' || true)
  [ -z "$findings" ] || found=1
  printf '%-16s %8s %12s %8s  %s\n' "$target" "$(cpu_seconds "$log.times")" "${executions:-?}" "$corpus" \
    "${findings:-none}"
done
if [ "$found" -ne 0 ]; then
  echo "findings are in $build/artifacts/<target>/, the runs' output in $build/logs/" >&2
  exit 1
fi
