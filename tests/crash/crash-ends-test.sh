#!/usr/bin/env bash
# A test program that crashes in the build's prefix ends at once with the
# access violation's code (0xC0000005, exit status 5), instead of waiting in
# Wine's debugger until CTest's timeout (the test's own timeout is short, so
# a held crash fails it).
#   crash-ends-test.sh <build dir>
set -uo pipefail
BUILD_DIR=$(cd "$1" && pwd)
"$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bin/crash_at_once.exe" </dev/null >/dev/null 2>&1
code=$?
if [ "$code" -ne 5 ]; then
  echo "crash_at_once.exe ended with exit status $code, expected 5 (the access violation)"
  exit 1
fi
echo "crash ends at once: ok"
