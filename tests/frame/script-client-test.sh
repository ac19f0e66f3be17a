#!/usr/bin/env bash
# Runs ScriptClient.vbs with Wine's cscript in the build's prefix (where the
# component is registered) and checks what it printed.
#   script-client-test.sh <build dir>
set -euo pipefail
BUILD_DIR=$(cd "${1:?usage: script-client-test.sh <build dir>}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../../scripts/wine-env.sh"

cd "$BUILD_DIR/bin"
actual=$(wine cscript.exe //nologo "$(winepath -w "$HERE/ScriptClient.vbs")" </dev/null | tr -d '\r')
expected='ExplainLibrary=ExtSucceed.dll
ObscureLibrary=ExtRefuse.dll
EditLibrary=NoSuchExtension.dll'
if [ "$actual" != "$expected" ]; then
  printf 'script client printed:\n%s\nexpected:\n%s\n' "$actual" "$expected" >&2
  exit 1
fi
echo "script client: ok"
