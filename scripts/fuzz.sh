#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) and
# runs each for SECONDS (default 60), two at a time; new inputs that reach
# new code are merged into fuzz/corpus/<target>, which stays small.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (targets: history s16 registry)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(history s16 registry)

EXTRA_PACKAGES="clang-14 libclang-rt-14-dev" scripts/install-deps.sh
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLIFELEDGER_FUZZ=ON -DLIFELEDGER_BUILD_GUI=OFF -DLIFELEDGER_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")

run() {
  local t=$1 found=build-fuzz/found/$1 max_len=4096
  [ "$t" = registry ] && max_len=2048
  mkdir -p "$found"
  build-fuzz/fuzz/fuzz_"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix=build-fuzz/crash-"$t"- "$found" fuzz/corpus/"$t" >build-fuzz/fuzz-"$t".log 2>&1 || {
      echo "fuzz_$t found a fault; see build-fuzz/fuzz-$t.log"; return 1; }
  build-fuzz/fuzz/fuzz_"$t" -merge=1 fuzz/corpus/"$t" "$found" >>build-fuzz/fuzz-"$t".log 2>&1
  echo "fuzz_$t: $(grep -E 'stat::number_of_executed_units' build-fuzz/fuzz-"$t".log | tail -1 | awk '{print $2}') executions," \
       "corpus $(ls fuzz/corpus/"$t" | wc -l) files, $(du -sh fuzz/corpus/"$t" | cut -f1)"
}

status=0
for t in "${targets[@]}"; do
  run "$t" & pids+=($!)
  if [ ${#pids[@]} -ge 2 ]; then wait "${pids[0]}" || status=1; pids=("${pids[@]:1}"); fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
exit $status
