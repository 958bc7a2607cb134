#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a build into a fresh folder, as a package would under /usr, and
# checks what a desktop expects of it: every installed path in the install
# manifest (the bin/ link too), a clean desktop entry and AppStream file,
# hicolor icons, man pages in English and Japanese, the documentation, a
# program that runs from bin/, and an uninstall that leaves nothing. Where
# lintian is installed, the Debian package of the build must draw no error
# and no warning from it.
#
#   scripts/check-install.sh BUILD_DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
root=$dest/usr

# The manifest and the tree hold the same paths.
sort "$build/install_manifest.txt" > "$dest.manifest"
(cd "$dest" && find . \( -type f -o -type l \) | sed "s|^\.||" | sort) > "$dest.tree"
diff -u "$dest.manifest" "$dest.tree" || fail "install manifest and installed tree differ"
rm -f "$dest.manifest" "$dest.tree"

[ -L "$root/bin/dravik" ] || fail "bin/dravik is not a link"
[ -x "$root/bin/dravik" ] || fail "bin/dravik does not lead to the program"
[ -f "$root/lib/dravik/sample.txt" ] || fail "no sample.txt beside the program"
[ "$("$root/bin/dravik" --version)" = "Dravik $version" ] || fail "bin/dravik --version"

out=$(desktop-file-validate "$root/share/applications/org.dravik.dravik.desktop" 2>&1)
[ -z "$out" ] || fail "desktop entry: $out"
appstreamcli validate --no-net --pedantic "$root/share/metainfo/org.dravik.dravik.metainfo.xml" >/dev/null \
  || fail "AppStream: $(appstreamcli validate --no-net --pedantic "$root/share/metainfo/org.dravik.dravik.metainfo.xml")"

for size in 16 22 24 32 48 64 128 256; do
  icon=$root/share/icons/hicolor/${size}x${size}/apps/dravik.png
  [ -f "$icon" ] || fail "no ${size}px icon"
  file "$icon" | grep -q "$size x $size" || fail "$icon is not ${size}x${size}"
done
[ -f "$root/share/icons/hicolor/scalable/apps/dravik.svg" ] || fail "no scalable icon"

for page in "$root/share/man/man1/dravik.1.gz" "$root/share/man/ja/man1/dravik.1.gz"; do
  [ -f "$page" ] || fail "no $page"
  LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null | grep . && fail "man warnings in $page"
done
for doc in README.md.gz changelog.gz copyright sample.txt; do
  [ -f "$root/share/doc/dravik/$doc" ] || fail "no $doc in the documentation"
done

if command -v lintian >/dev/null; then
  (cd "$build" && cpack -G DEB -B "$dest/package" >/dev/null) || fail "cpack"
  report=$(lintian --fail-on error,warning "$dest"/package/dravik_*.deb 2>&1) || fail "lintian: $report"
  ! grep -qE '^[EW]:' <<<"$report" || fail "lintian: $report"
fi
# Uninstalled, nothing of it is left, not even an empty folder.
DESTDIR=$dest bash "$(dirname "$0")/uninstall.sh" "$build" /usr
left=$(cd "$dest" && find . -mindepth 1 | grep -vE '^\./usr(/(bin|lib|share|share/man))?$' | grep -v '^\./package' || true)
[ -z "$left" ] || fail "left after uninstall: $left"
echo "install tree complete"
