#!/usr/bin/env bash
# Builds in Release and runs every benchmark against its floor, the two
# taking turns; prints a line per comparison and then one Markdown table.
#   scripts/bench.sh            the full run (worlds of 10,000 and 100,000 creatures; some minutes)
#   scripts/bench.sh --quick    a short run (20,000 instead of 100,000; fewer repetitions)
#   scripts/bench.sh --readme   the full run, and the README's table replaced by its table
set -euo pipefail
cd "$(dirname "$0")/.."
readme=0
args=()
for a in "$@"; do
  if [ "$a" = --readme ]; then readme=1; else args+=("$a"); fi
done
scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DLIFELEDGER_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target lifeledger-bench
table=build-release/bench-table.md
build-release/bench/lifeledger-bench --table "$table" ${args[@]+"${args[@]}"}
if [ "$readme" = 1 ]; then
  python3 - "$table" <<'PY'
import re, sys, datetime, platform, subprocess
table = open(sys.argv[1]).read()
cpu = next((l.split(':', 1)[1].strip() for l in open('/proc/cpuinfo') if l.startswith('model name')), 'unknown CPU')
cores = subprocess.run(['nproc'], capture_output=True, text=True).stdout.strip()
stamp = f"Measured on {datetime.date.today().isoformat()} by `scripts/bench.sh`: {cores} cores of {cpu}, Qt 6, g++ Release build.\n\n"
text = open('README.md').read()
start, end = '<!-- benchmark table -->\n', '<!-- end of benchmark table -->\n'
text = re.sub(re.escape(start) + '.*?' + re.escape(end), lambda m: start + stamp + table + end, text, flags=re.S)
open('README.md', 'w').write(text)
PY
  echo "README.md: performance table replaced"
fi
