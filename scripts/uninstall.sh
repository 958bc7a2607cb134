#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Removes what `cmake --install BUILD_DIR` put in place (its install
# manifest), then each folder that this leaves empty, from the deepest up;
# the prefix's own bin, lib, share and share/man stay. DESTDIR and the
# prefix as for the install (the build's own prefix when none is given).
#
#   scripts/uninstall.sh BUILD_DIR [PREFIX]
set -euo pipefail
manifest=$1/install_manifest.txt
[ -f "$manifest" ] || { echo "no $manifest: nothing was installed from this build" >&2; exit 1; }
prefix=${2:-$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$1/CMakeCache.txt")}
prefix=${prefix%/}
root=${DESTDIR:-}
keep=" $root$prefix $root$prefix/bin $root$prefix/lib $root$prefix/share $root$prefix/share/man "
dirs=()
while IFS= read -r path || [ -n "$path" ]; do
  [ -n "$path" ] || continue
  rm -f -- "$root$path"
  dir=$(dirname -- "$root$path")
  while [[ $dir == "$root$prefix"/* ]]; do
    dirs+=("$dir")
    dir=$(dirname -- "$dir")
  done
done < "$manifest"
# Deepest first, so that a parent is empty by the time it is reached.
printf '%s\n' "${dirs[@]}" | sort -u | awk '{ print length, $0 }' | sort -rn | cut -d' ' -f2- |
  while IFS= read -r dir; do
    [[ $keep == *" $dir "* ]] || rmdir --ignore-fail-on-non-empty -- "$dir" 2>/dev/null || true
  done
