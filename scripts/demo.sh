#!/usr/bin/env bash
# Sets everything up, writes a fresh sample installation of the game into
# ./sample-world (a Wine-style prefix) and opens Lifeledger on it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build=${BUILD_DIR:-build}
rm -rf sample-world
"$build"/tools/make-sample-world sample-world
app="$build/src/browser/lifeledger"
if [ ! -x "$app" ]; then
  echo "The sample installation is ready in ./sample-world."
  exit 0
fi
export WINEPREFIX="$PWD/sample-world"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running Lifeledger on a virtual one (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$app"
fi
exec "$app"
