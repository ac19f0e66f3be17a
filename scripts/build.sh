#!/usr/bin/env bash
# Sets up the machine, configures and builds into build/, and prepares the
# build's Wine prefix. Scripts started together in one tree take turns here.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/build-lock.sh"

build() {
  "$ROOT/scripts/setup.sh"
  cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$ROOT/build" -j"$(nproc)"
  cmake --build "$ROOT/build" --target prefix
}
with_build_lock "$ROOT/build" build
