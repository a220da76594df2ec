#!/usr/bin/env bash
# Installs what is missing, builds, and renders the bundled example to a PNG beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
cd examples
../build/tremwil --in-memory -x 1 -y 2 -z 3 example.dat
echo "Picture saved as $(pwd)/example.png"
