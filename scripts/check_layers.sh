#!/usr/bin/env bash
# Lists every include of src/ that runs from a lower layer to a higher one; exits 1 when there is one.
# Layers from the top: main, cli (with cli/expand), view, plot, follow, data, core; lib/ and graphics/ below all.
set -euo pipefail
cd "$(dirname "$0")/.."
rank() {
  case "$1" in
    main.cpp) echo 7 ;;
    cli/*) echo 6 ;;
    view/*) echo 5 ;;
    plot/*) echo 4 ;;
    follow/*) echo 3 ;;
    data/*) echo 2 ;;
    core/*) echo 1 ;;
    *) echo 0 ;; # lib/ and graphics/
  esac
}
status=0
while IFS= read -r file; do
  from=${file#src/}
  while IFS= read -r included; do
    # Only names that resolve inside src/ can point upward; lib/ and graphics/ headers sit below all.
    [ -f "src/$included" ] || continue
    if [ "$(rank "$included")" -gt "$(rank "$from")" ]; then
      echo "$from includes $included"
      status=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find src -name '*.cpp' -o -name '*.h' | sort)
# Below all means below src/ too.
if grep -rn --include='*.cpp' --include='*.h' -E '#include "(cli|view|plot|follow|data)/' lib graphics; then
  status=1
fi
exit $status
