#!/usr/bin/env bash
# Runs the host's stand-in, build/bin/param_host.exe, under Wine in the
# build's prefix: scripts/param-host.sh explain --frame "..." [options].
# Build first (scripts/build.sh or scripts/demo.sh); --help lists the options.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
if [ ! -x "$BUILD_DIR/bin/param_host.exe" ] || [ ! -f "$BUILD_DIR/wineprefix/system.reg" ]; then
  echo "param-host: no build in $BUILD_DIR yet: run scripts/build.sh first" >&2
  exit 3
fi
source "$ROOT/scripts/wine-env.sh"
exec wine "$BUILD_DIR/bin/param_host.exe" "$@"
