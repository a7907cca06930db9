#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop
# expects: the program, a valid .desktop entry, valid AppStream metadata and
# the icon in every hicolor size.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
check() { if [ -e "$prefix/$1" ]; then echo "ok      $1"; else echo "MISSING $1"; fail=1; fi; }
check bin/lifeledger
check share/applications/org.lifeledger.Lifeledger.desktop
check share/metainfo/org.lifeledger.Lifeledger.metainfo.xml
for size in 16 24 32 48 64 128 256; do check share/icons/hicolor/${size}x${size}/apps/lifeledger.png; done
check share/icons/hicolor/scalable/apps/lifeledger.svg

desktop-file-validate "$prefix/share/applications/org.lifeledger.Lifeledger.desktop" || fail=1
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.lifeledger.Lifeledger.metainfo.xml" || fail=1
file=$(file -b "$prefix/share/icons/hicolor/256x256/apps/lifeledger.png")
case "$file" in *"256 x 256"*) echo "ok      256x256 icon: $file" ;; *) echo "wrong icon: $file"; fail=1 ;; esac
exit $fail
