#!/usr/bin/env bash
# Builds in Release and runs every benchmark; the last lines are one table:
# benchmark, time, floor, ratio and target. Arguments go to Google Benchmark
# (for example --benchmark_filter=Fill).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DLIFELEDGER_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target lifeledger-bench
build-release/bench/lifeledger-bench --benchmark_min_time=0.3 --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true "$@"
