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
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  cat <<EOT
Lifeledger is a desktop program, and there is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set).
The sample installation is ready in ./sample-world. To open Lifeledger on it:
  - in a desktop session:   scripts/demo.sh
  - or by hand:             $app --prefix "$PWD/sample-world"
  - to look at its windows without a display (pictures in ./shots):
                            xvfb-run -a -s "-screen 0 1280x800x24" $build/tools/take-screenshots shots
EOT
  exit 1
fi
exec "$app" --prefix "$PWD/sample-world"
