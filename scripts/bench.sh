#!/usr/bin/env bash
# Sets up the machine, builds, and runs the benchmark under Wine. It prints
# ratios between the costs of Explain and Obscure cases, each against its
# goal. Extra arguments go to the benchmark: milliseconds per batch and
# rounds (e.g. scripts/bench.sh 0.05 801).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/build.sh"

BUILD_DIR="$ROOT/build"
source "$ROOT/scripts/wine-env.sh"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

cd "$BUILD_DIR/bin"
wine transactor_bench.exe "$@"
