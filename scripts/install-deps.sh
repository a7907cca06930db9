#!/usr/bin/env bash
# Installs what Lifeledger needs to build, test and run on Debian 12.
# Only missing packages are installed; apt-get needs root (sudo otherwise).
set -euo pipefail

# Every program the build, the tests, the demo and the packaging call is
# named here: a machine that had one by chance must not hide its absence.
packages=(
  # the build
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev zlib1g-dev libyaml-cpp-dev
  # the world statistics: Qt Charts (whose CMake files need Qt OpenGL's) and SVG
  qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
  # the translations: lupdate/lrelease and Qt's own German texts
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  # the tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core
  # the install test: desktop entry, AppStream metadata, icon sizes, manual page
  desktop-file-utils appstream file groff-base bsdextrautils
  # the demo without a display, screenshots, the BMP cross-check
  xvfb xauth imagemagick
  # the Debian package (cpack's library dependency scan, the hardening flags),
  # its checks (lintian; readelf and nm for the hardening)
  dpkg-dev lintian binutils
  # the benchmark table written into the README
  python3
  # the family book read back in a headless browser
  chromium python3-websocket
)

packages+=(${EXTRA_PACKAGES:-})

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
