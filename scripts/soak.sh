#!/usr/bin/env bash
# The long run of the racing game: a child process writes, rewrites, adds and
# removes records and albums as a busy game does, while the program reads the
# folder, saves edits and deletes creatures through its real paths. Prints
# the figures of every run and their sum; exits 1 when any record was lost,
# brought back, torn, or a temporary file was left behind.
#   scripts/soak.sh [CYCLES_PER_RUN] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
cycles=${1:-5000}
runs=${2:-4}
scripts/install-deps.sh
scripts/build.sh >/dev/null
status=0
for seed in $(seq 1 "$runs"); do
  # Two paces: the default, and a frantic game on a few records.
  if [ $((seed % 2)) -eq 1 ]; then pace=(); else pace=(--creatures 4 --pause 50); fi
  echo "== run $seed (seed $seed ${pace[*]:-})"
  "${BUILD_DIR:-build}"/tests/game-race --cycles "$cycles" --seed "$seed" "${pace[@]}" || status=1
done
exit $status
