#!/usr/bin/env bash
# Builds the release package in one command, on a fresh machine too:
# build/OvixParamTransactor-<version>.zip (its files also unpacked under
# build/package/), with the DLL, param_host, the sample extension, the
# extension kit, the manifest, install.cmd/uninstall.cmd, the operator's
# README and SHA256SUMS.txt.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$ROOT/build" -j"$(nproc)" --target release_package
zip=$(ls -t "$ROOT"/build/OvixParamTransactor-*.zip | head -1)
echo "package: $zip"
sha256sum "$zip" | sed 's/ .*//; s/^/package: SHA-256 /'
