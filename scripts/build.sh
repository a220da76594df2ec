#!/usr/bin/env bash
# Configures (once) and builds one flavour: scripts/build.sh [release|asan|fuzz]
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
case "$flavour" in
  release) dir=build;      args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan)    dir=build-asan; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREMWIL_SANITIZE=ON -DTREMWIL_BENCH=OFF) ;;
  fuzz)    dir=build-fuzz; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREMWIL_FUZZ=ON -DTREMWIL_BENCH=OFF
                                 -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "usage: $0 [release|asan|fuzz]" >&2; exit 2 ;;
esac
# ccache, where installed, shares compiled units between flavours and work trees.
if command -v ccache >/dev/null && [ "$flavour" != fuzz ]; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$PWD")} CCACHE_NOHASHDIR=1
fi
[ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "${args[@]}"
cmake --build "$dir" -j "$(nproc)"

