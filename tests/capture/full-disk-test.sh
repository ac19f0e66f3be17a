#!/usr/bin/env bash
# A disk that fills while capturing: a small tmpfs stands in for it. The host
# must hold exactly what it holds with capture off, and capture must switch
# itself off with one line in capture.log. Skipped (77) where no tmpfs can be
# mounted (not root, or in a container that forbids it).
#   full-disk-test.sh <build dir>
set -uo pipefail
BUILD_DIR=$(cd "$1" && pwd)
disk="$BUILD_DIR/capture-full-disk"
mkdir -p "$disk"
mountpoint -q "$disk" && umount "$disk"
if ! mount -t tmpfs -o size=200k tmpfs "$disk" 2>/dev/null; then
  echo "no tmpfs can be mounted here: skipped"
  exit 77
fi
trap 'umount "$disk"' EXIT

load() { "$BUILD_DIR/wine-run.sh" "$BUILD_DIR/bin/capture_load.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
windows_path() { echo "Z:${1//\//\\}"; }

off=$(load - 3000)
failed=0
# MaxMB 64: the first file's space cannot be reserved. MaxMB 1: the first
# 128 KB file fits, the second does not.
for maxMb in 64 1; do
  rm -rf "${disk:?}"/*
  on=$(load "$(windows_path "$disk")" 3000 "$maxMb")
  if [ "$on" != "$off" ] || [ -z "$off" ]; then
    echo "MaxMB $maxMb: the host held something else with the disk full ('$on', off: '$off')"
    failed=1
  fi
  lines=$(grep -c "capture switched off: reserving the capture file's space failed" "$disk/capture.log" 2>/dev/null)
  if [ "$lines" != 1 ] || [ "$(wc -l < "$disk/capture.log")" != 1 ]; then
    echo "MaxMB $maxMb: capture.log should hold one line on switching off, holds:"
    cat "$disk/capture.log" 2>/dev/null
    failed=1
  fi
done
[ "$failed" = 0 ] && echo "a full disk costs the host nothing: ok"
exit "$failed"
