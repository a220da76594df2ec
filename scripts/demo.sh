#!/usr/bin/env bash
# Installs what is missing, builds, and runs tremwil on the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
cd examples
../build/tremwil --in-memory -x 1 -y 2 -z 3 example.dat
