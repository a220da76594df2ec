#!/usr/bin/env bash
# Builds and runs every test: the normal build, the sanitizer build, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
scripts/build.sh release
ctest --test-dir build --output-on-failure -j "$jobs"
scripts/build.sh asan
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j "$jobs"
scripts/fuzz.sh "${FUZZ_SECONDS:-10}"
