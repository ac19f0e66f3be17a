#!/usr/bin/env bash
# The DLLs and programs of the release package carry no debug sections and no
# symbol table, and each names its debug file in its debug link: the file
# kept in the build, with the debug sections, whose CRC-32 the link holds.
# Prints each file's size before and after stripping.
#   release-binaries-test.sh <build dir>
set -uo pipefail
BUILD=$(cd "$1" && pwd)
OBJDUMP=i686-w64-mingw32-objdump
OBJCOPY=i686-w64-mingw32-objcopy
PACKAGE=$(ls -d "$BUILD"/package/OvixParamTransactor-*/)

failures=0
fail() { echo "FAILED: $1: $2"; failures=$((failures + 1)); }
# The .gnu_debuglink section: the debug file's name, zero-padded, then its CRC-32.
debug_link() { $OBJCOPY --dump-section .gnu_debuglink=/dev/stdout "$1" /dev/null 2>/dev/null; }
# The CRC-32 of a file as little-endian hex bytes (gzip's trailer holds it).
crc32() { gzip -c <"$1" | tail -c8 | head -c4 | od -An -tx1 | tr -d ' \n'; }

count=0
for file in "$PACKAGE"*.dll "$PACKAGE"*.exe; do
  name=$(basename "$file")
  count=$((count + 1))
  sections=$($OBJDUMP -h "$file")
  headers=$($OBJDUMP -p "$file")
  grep -q '\.debug_' <<<"$sections" && fail "$name" "has debug sections"
  grep -q 'symbols stripped' <<<"$headers" || fail "$name" "keeps its symbol table"
  linked_name=$(debug_link "$file" | head -c -4 | tr -d '\0')
  [ "$linked_name" = "$name.debug" ] || { fail "$name" "debug link names \"$linked_name\""; continue; }
  debug_file="$BUILD/package/debug/$name.debug"
  [ -f "$debug_file" ] || { fail "$name" "$debug_file is missing"; continue; }
  $OBJDUMP -h "$debug_file" | grep -q '\.debug_info' || fail "$name" "$debug_file has no debug information"
  link_crc=$(debug_link "$file" | tail -c4 | od -An -tx1 | tr -d ' \n')
  [ "$link_crc" = "$(crc32 "$debug_file")" ] ||
    fail "$name" "the debug link's CRC-32 $link_crc is not that of $debug_file"
  printf '%-26s %9d bytes, %9d before stripping\n' "$name" "$(stat -c %s "$file")" "$(stat -c %s "$BUILD/bin/$name")"
done
[ "$count" -ge 5 ] || fail "$PACKAGE" "holds $count DLLs and programs, expected at least 5"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "release binaries: ok"
