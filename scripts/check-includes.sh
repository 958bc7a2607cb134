#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Includes run only downward: each folder of src/ (and res/) may include
# itself and the folders listed for it, nothing higher.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
  [text]="text"
  [audio]="audio"
  [engine]="engine audio text"
  [settings]="settings audio"
  [scoring]="scoring engine audio text"
  [history]="history scoring engine audio text"
  [drills]="drills settings scoring history engine audio text"
  [winui]="winui text"
  [res]="res winui"
  [display]="display engine audio winui"
  [copytest]="copytest drills settings scoring history display winui engine audio text res"
  [record]="record drills history scoring settings winui engine audio text"
  [exam]="exam copytest drills settings scoring history display winui engine audio text"
  [callsign]="callsign drills settings scoring history winui engine audio text"
  [chardrill]="chardrill drills settings scoring history winui engine audio text"
  [app]="app chardrill callsign exam record copytest drills settings scoring history display winui engine audio text res"
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
