#!/usr/bin/env bash
# Draws the README's tour pictures: scripts/tour.sh [OUT_FOLDER] (default docs/tour). Each line of
# docs/tour/tour.list is run from a scratch copy of the repository's examples, so the run's log file and the
# generated million-row file stay out of the repository; TREMWIL names the program (default build/tremwil).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/docs/tour}" && cd "${1:-$root/docs/tour}" && pwd)
program=$(realpath "${TREMWIL:-$root/build/tremwil}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$root/examples" "$scratch/examples"
if grep -q 'million\.dat' "$root/docs/tour/tour.list"; then
  "$root/examples/tour/make_data.sh" "$scratch/examples/tour" million
fi
cd "$scratch"
while IFS='|' read -r name args; do
  name=${name// /}
  case "$name" in '' | '#'*) continue ;; esac
  eval "set -- $args"
  "$program" --in-memory --quiet --nopath -o "$out/$name.png" "$@"
  echo "$out/$name.png"
done < "$root/docs/tour/tour.list"
