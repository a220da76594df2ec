#!/usr/bin/env bash
# Re-blesses case files after a deliberate change of pictures: scripts/bless_cases.sh REGEX rewrites the "png:"
# lines of every case whose test name (golden/rings.case is golden_rings) matches REGEX with the pictures the built
# program makes now, and leaves every other line alone. Review the result with git diff before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 1 ] || { echo "usage: $0 REGEX" >&2; exit 2; }
out=${TMPDIR:-/tmp}/tremwil-blessed
rm -rf "$out"
# The harness writes each blessed case under $out; failures other than pictures still show.
TREMWIL_CASES_BLESS=$1 build/tests/cases_tests --gtest_filter='Case/Cases.*' --gtest_brief=1 || true
[ -d "$out" ] || { echo "no case matches $1" >&2; exit 1; }
(cd "$out" && find . -name '*.case') | while IFS= read -r file; do
  cp "$out/$file" "tests/cases/$file"
done
rm -rf "$out"
git diff --stat -- tests/cases
