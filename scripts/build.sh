#!/usr/bin/env bash
# Sets up the machine, configures and builds into build/, and prepares the
# build's Wine prefix. Scripts started together in one tree take turns here.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/build-lock.sh"

if [ -z "${OVIX_BUILD_LOCK_HELD:-}" ]; then
  OVIX_BUILD_LOCK_HELD=1 with_build_lock "$ROOT/build" "$0" "$@"
  exit
fi

"$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$ROOT/build" -j"$(nproc)"
cmake --build "$ROOT/build" --target prefix
