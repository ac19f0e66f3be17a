#!/usr/bin/env bash
# Two builds of one commit give the same bytes: configures a second build tree
# (at another path, inside this one, using this build's Wine prefix and file
# time), builds only the release package there and compares its ZIP with this
# build's, byte for byte; on a difference, names the files that differ.
#   reproducible-build.sh <build dir> <source dir>
set -uo pipefail
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
SECOND="$BUILD/reproducible"
cache() { sed -n "s/^$1:[A-Z]*=//p" "$BUILD/CMakeCache.txt"; }

rm -rf "$SECOND"
cmake -S "$SOURCE" -B "$SECOND" -G "$(cache CMAKE_GENERATOR)" -DCMAKE_TOOLCHAIN_FILE="$(cache CMAKE_TOOLCHAIN_FILE)" \
  -DCMAKE_BUILD_TYPE="$(cache CMAKE_BUILD_TYPE)" -DWINE_PREFIX_BUILD_DIR="$BUILD" \
  -DPACKAGE_FILE_TIME="$(cat "$BUILD/package/package-file-time.txt")" >/dev/null || exit 1
cmake --build "$SECOND" -j"$(nproc)" --target release_package >"$SECOND/build.log" 2>&1 ||
  { cat "$SECOND/build.log"; exit 1; }

first=$(ls "$BUILD"/OvixParamTransactor-*.zip)
second="$SECOND/$(basename "$first")"
if cmp -s "$first" "$second"; then
  echo "reproducible: $(basename "$first") is the same in both builds"
  rm -rf "$SECOND"
  exit 0
fi
echo "reproducible: the two builds' $(basename "$first") differ" >&2
(cd "$BUILD/package" && find . -type f | sort) | while read -r file; do
  if ! cmp -s "$BUILD/package/$file" "$SECOND/package/$file"; then
    echo "  $file differs at $(cmp -l "$BUILD/package/$file" "$SECOND/package/$file" 2>&1 | wc -l) byte(s), first at:" >&2
    cmp -l "$BUILD/package/$file" "$SECOND/package/$file" 2>&1 | head -3 >&2
  fi
done
echo "(the second build is kept in $SECOND)" >&2
exit 1
