#!/usr/bin/env bash
# A write into the capture file's view that faults: the file is cut short
# under the writing process (as a disk that cannot back its pages would),
# so the next copy into the mapped view faults. The host must hold exactly
# what it holds with capture off, and capture must switch itself off with
# one line in capture.log.
#   view-fault-test.sh <build dir>
set -uo pipefail
BUILD_DIR=$(cd "$1" && pwd)
folder="$BUILD_DIR/capture-view-fault"
rm -rf "$folder"
mkdir -p "$folder"
load() { "$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bin/capture_load.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

calls=600000
load "Z:${folder//\//\\}" "$calls" > "$folder.out" &
loader=$!
# Every file is cut, again and again, until capture has switched off: the
# live one is among them whichever it is by then.
while kill -0 "$loader" 2>/dev/null && [ ! -s "$folder/capture.log" ]; do
  for file in "$folder"/*.ovcap; do [ -f "$file" ] && truncate -s 4096 "$file"; done
  sleep 0.05
done
wait "$loader"
on=$(cat "$folder.out")
off=$(load - "$calls")
failed=0
if [ -z "$off" ] || [ "$on" != "$off" ]; then
  echo "the host held something else after the fault ('$on', off: '$off')"
  failed=1
fi
if [ "$(grep -c 'capture switched off: writing into the capture file faulted' "$folder/capture.log" 2>/dev/null)" != 1 ]; then
  echo "capture.log should hold one line on the fault, holds:"
  cat "$folder/capture.log" 2>/dev/null
  failed=1
fi
[ "$failed" = 0 ] && echo "a fault in the capture file's view costs the host nothing: ok"
exit "$failed"
