#!/usr/bin/env bash
# Sets everything up (packages, configure, build) and runs every test.
#   scripts/test.sh [preset]   (default, asan or tsan)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh "$preset"
ctest --preset "$preset" -j "$(nproc)"
