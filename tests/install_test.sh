#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop and a
# Debian system expect: the program, built hardened, a valid .desktop entry
# and valid AppStream metadata (in English and German), the icon in every
# hicolor size, a manual page that renders without warnings, the
# documentation folder with what the README shows; then makes the Debian
# package twice at one SOURCE_DATE_EPOCH (the two must be the same byte for
# byte) and lets lintian judge it (no error, no warning).
set -euo pipefail
build=$1
prefix=$(mktemp -d)
packages=$(mktemp -d)
trap 'rm -rf "$prefix" "$packages"' EXIT
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
# The pictures the README shows are where its links lead.
for picture in $(grep -o 'docs/screenshots/[a-z0-9-]*\.png' "$prefix/share/doc/lifeledger/README.md" | sort -u); do
  check "share/doc/lifeledger/$picture"
done

# German beside English in the desktop entry and the AppStream data; no
# placeholder address in what is installed.
desktop="$prefix/share/applications/org.lifeledger.Lifeledger.desktop"
metainfo="$prefix/share/metainfo/org.lifeledger.Lifeledger.metainfo.xml"
for key in 'Name\[de\]' 'GenericName\[de\]' 'Comment\[de\]' 'Keywords\[de\]'; do
  grep -q "^$key=" "$desktop" || { echo "desktop entry lacks $key"; fail=1; }
done
for element in '<name xml:lang="de">' '<summary xml:lang="de">' '<p xml:lang="de">' '<li xml:lang="de">'; do
  grep -q "$element" "$metainfo" || { echo "AppStream data lacks $element"; fail=1; }
done
if grep -rq 'example\.\(org\|com\)' "$desktop" "$metainfo"; then echo "a placeholder address is installed"; fail=1; fi

# Hardened as Debian builds its packages: PIE, full RELRO with immediate
# binding, the stack protector and fortified functions (not the sanitizer
# builds, which have checks of their own).
if grep -q '^LIFELEDGER_HARDENED:INTERNAL=ON$' "$build/CMakeCache.txt"; then
  bin="$prefix/bin/lifeledger"
  hardened() { if eval "$2"; then echo "ok      $1"; else echo "NOT HARDENED: $1"; fail=1; fi; }
  hardened "position-independent executable" "readelf -hW '$bin' | grep -q 'Type: *DYN'"
  hardened "read-only relocations" "readelf -lW '$bin' | grep -q GNU_RELRO"
  hardened "immediate binding" "readelf -dW '$bin' | grep -Eq 'BIND_NOW|FLAGS.*NOW'"
  symbols=$(nm -D "$bin")
  hardened "stack protector" "grep -q __stack_chk_fail <<<\"\$symbols\""
  hardened "fortified functions" "grep -Eq '__[a-z0-9_]+_chk(@|\$)' <<<\"\$symbols\""
elif grep -q '^LIFELEDGER_SANITIZE:BOOL=ON$' "$build/CMakeCache.txt"; then
  echo "skipped hardening checks: a sanitizer build"
else
  echo "NOT HARDENED: the build did not take Debian's hardening flags"; fail=1
fi

# The package, twice at one time stamp: the same bytes; lintian silent.
epoch=$(dpkg-parsechangelog -l "$(dirname "$0")/../packaging/changelog" -STimestamp)
for n in 1 2; do
  (cd "$build" && SOURCE_DATE_EPOCH=$epoch cpack -G DEB -B "$packages/$n" >/dev/null)
  [ "$n" = 1 ] && sleep 1
done
deb=$(ls "$packages"/1/lifeledger_*.deb)
if cmp -s "$deb" "$packages/2/$(basename "$deb")"; then echo "ok      reproducible package"; else echo "the package differs between two builds"; fail=1; fi
case "$(dpkg-deb -f "$deb" Recommends)" in *qt6-wayland*) echo "ok      recommends qt6-wayland" ;; *) echo "qt6-wayland not recommended"; fail=1 ;; esac
if lintian --fail-on error,warning "$deb"; then echo "ok      lintian"; else echo "lintian found errors or warnings"; fail=1; fi
exit $fail
