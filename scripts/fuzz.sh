#!/usr/bin/env bash
# Runs each libFuzzer target for the given number of seconds (default 10) from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
scripts/build.sh fuzz
shopt -s nullglob
status=0
for source in fuzz/*_fuzz.cpp; do
  target=$(basename "$source" .cpp)
  corpus=fuzz/corpus/${target%_fuzz}
  work=$(mktemp -d)
  mkdir -p fuzz/artifacts
  echo "fuzzing $target for ${seconds}s"
  if ! build-fuzz/fuzz/"$target" -max_total_time="$seconds" -artifact_prefix=fuzz/artifacts/ -print_final_stats=1 \
       "$work" "$corpus" >"$work.log" 2>&1; then
    tail -n 40 "$work.log"
    status=1
  else
    grep -E 'stat::number_of_executed_units' "$work.log" || true
  fi
  rm -rf "$work" "$work.log"
done
exit $status
