#!/usr/bin/env bash
# Sets everything up and runs the whole test suite (GUI tests offscreen):
# first the ordinary build, then the same suite built with AddressSanitizer
# and UndefinedBehaviorSanitizer (set SANITIZE=0 to skip that second run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

scripts/build.sh
(cd "${BUILD_DIR:-build}" && ctest --output-on-failure -j"$(nproc)")

if [ "${SANITIZE:-1}" != 0 ]; then
  echo "== The same suite under AddressSanitizer and UndefinedBehaviorSanitizer"
  cmake -S . -B build-asan -DLIFELEDGER_SANITIZE=ON -DLIFELEDGER_BUILD_BENCH=OFF >/dev/null
  cmake --build build-asan -j"$(nproc)"
  (cd build-asan && ctest --output-on-failure -j"$(nproc)")
fi
