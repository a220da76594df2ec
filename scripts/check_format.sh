#!/usr/bin/env bash
# Lists every C and C++ file of the repository whose layout differs from .clang-format; exits 1 when there is one.
# Fix one with: clang-format -i FILE
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find src lib graphics tests fuzz bench dist examples \
                       \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) | sort)
# One clang-format for all files; each misplaced piece is a "file:line:col: error:" line.
command -v clang-format >/dev/null || { echo "clang-format is not installed"; exit 1; }
drifted=$( (clang-format --dry-run --Werror "${files[@]}" 2>&1 || true) | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u)
if [ -n "$drifted" ]; then
  sed 's/.*/& is not formatted (clang-format -i &)/' <<<"$drifted"
  exit 1
fi
