#!/usr/bin/env bash
# Sets up the machine, builds, prepares the Wine prefix and runs every test
# program under Wine, with a virtual display for the tests that open windows.
# Extra arguments go to ctest (e.g. -R explain).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/build.sh"

BUILD_DIR="$ROOT/build"
source "$ROOT/scripts/wine-env.sh"
source "$ROOT/scripts/display.sh"
trap 'wineserver -k >/dev/null 2>&1 || true; stop_display' EXIT
start_display

# Keep one wineserver warm for the whole run; its helper processes must not
# inherit CTest's pipes.
wineserver -p || true
wine wineboot </dev/null >/dev/null 2>&1 || true

cd "$BUILD_DIR"
ctest --output-on-failure --timeout 300 "$@"
