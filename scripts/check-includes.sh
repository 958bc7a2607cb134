#!/usr/bin/env bash
# Includes run only downward: each folder of src/ (and res/) may include
# itself and the folders listed for it, nothing higher.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
  [platform]="platform"
  [audio]="audio"
  [engine]="engine audio"
  [training]="training engine audio"
  [display]="display training engine audio"
  [res]="res platform"
  [copytest]="copytest display training engine audio platform res"
  [app]="app copytest display training engine audio platform res"
)
bad=0
for dir in "${!allowed[@]}"; do
  base=src/$dir
  [ "$dir" = res ] && base=res
  [ -d "$base" ] || continue
  while IFS=: read -r file line inc; do
    top=${inc%%/*}
    case " ${allowed[$dir]} " in
      *" $top "*) ;;
      *) echo "$file:$line: $dir includes $inc"; bad=1 ;;
    esac
  done < <(grep -rnoE '^#include "[a-z]+/[^"]+"' "$base" | sed -E 's/#include "([^"]+)"/\1/')
done
if [ "$bad" -ne 0 ]; then echo "includes point upward"; exit 1; fi
echo "includes run downward"
