#!/usr/bin/env bash
# Builds Lifeledger in Release and makes the Debian package
# build-release/lifeledger_<version>_amd64.deb; install it with
#   sudo apt-get install ./build-release/lifeledger_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The package's file times are the changelog's (reproducible builds), unless
# the caller set them.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -l packaging/changelog -STimestamp)}
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DLIFELEDGER_BUILD_TESTS=OFF -DLIFELEDGER_BUILD_BENCH=OFF >/dev/null
cmake --build build-release -j"$(nproc)"
(cd build-release && cpack >/dev/null && ls "$PWD"/lifeledger_*.deb)
