#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop and a
# Debian system expect: the program, a valid .desktop entry, valid AppStream
# metadata, the icon in every hicolor size, a manual page that renders
# without warnings, and the documentation folder.
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
check share/man/man1/lifeledger.1.gz
for doc in changelog.gz copyright README.md; do check share/doc/lifeledger/$doc; done

desktop-file-validate "$prefix/share/applications/org.lifeledger.Lifeledger.desktop" || fail=1
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.lifeledger.Lifeledger.metainfo.xml" || fail=1
file=$(file -b "$prefix/share/icons/hicolor/256x256/apps/lifeledger.png")
case "$file" in *"256 x 256"*) echo "ok      256x256 icon: $file" ;; *) echo "wrong icon: $file"; fail=1 ;; esac

# The manual page renders without a warning and documents every option of --help.
warnings=$(zcat "$prefix/share/man/man1/lifeledger.1.gz" | groff -man -Tutf8 -ww -z 2>&1 || true)
if [ -n "$warnings" ]; then echo "manual page warnings: $warnings"; fail=1; else echo "ok      manual page renders"; fi
page=$(zcat "$prefix/share/man/man1/lifeledger.1.gz" | nroff -man 2>/dev/null | col -b)
for option in $("$prefix/bin/lifeledger" --help | grep -o -- '--[a-z-]*' | sort -u); do
  case "$page" in *"$option"*) ;; *) echo "manual page lacks $option"; fail=1 ;; esac
done
# The desktop entry names the class the program's windows carry.
grep -q '^StartupWMClass=Vivarion2 History Viewer$' "$prefix/share/applications/org.lifeledger.Lifeledger.desktop" \
  || { echo "StartupWMClass missing"; fail=1; }
exit $fail
