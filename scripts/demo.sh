#!/usr/bin/env bash
# The main job: sets up the machine, builds, and shows the component at work
# under Wine, as a host would use it.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/build.sh"
BUILD_DIR="$ROOT/build"
source "$ROOT/scripts/wine-env.sh"
cd "$BUILD_DIR/bin"
wine try_component.exe </dev/null
