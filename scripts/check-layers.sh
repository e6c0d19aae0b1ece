#!/usr/bin/env bash
# The source folders depend one way: each includes only folders below it in this order, so that their
# includes can form no circle. Prints every include that goes up or sideways and fails on any.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

layers=(text dictionary formats search suggest pages cli htmlview prefs app)
rank() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}
bad=0
for folder in "${layers[@]}"; do
  own=$(rank "$folder")
  while IFS=: read -r file _ target; do
    used=${target#*\"}
    used=${used%%/*}
    other=$(rank "$used")
    [ "$other" -lt 0 ] && continue
    # carro and the window are separate tops: neither includes the other.
    if [ "$used" != "$folder" ] && { [ "$other" -ge "$own" ] || { [ "$used" = cli ] && [ "$folder" != cli ]; }; }; then
      echo "$file includes $used/: $target"
      bad=1
    fi
  done < <(grep -Hn '#include "' "$folder"/*.h "$folder"/*.cpp 2>/dev/null || true)
done
[ "$bad" -eq 0 ] && echo "folders depend one way: ${layers[*]}"
exit "$bad"
