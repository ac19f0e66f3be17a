#!/usr/bin/env bash
# Every shipped binary imports only functions that the minimum Windows the
# product supports has: each import must be in the list of allowed imports,
# which gives the Windows version that introduced it, and that version must
# not be newer than the minimum. A binary that needs a newer Windows fails
# on a station at load time with a missing entry point, long after it
# passed every test under Wine, which has them all.
#   imports-test.sh <package folder> <allowed imports list> <minimum version, e.g. 6.1>
set -uo pipefail
PACKAGE=$1 LIST=$2 MINIMUM=$3
OBJDUMP=${OBJDUMP:-i686-w64-mingw32-objdump}

# "dll function" per import of a binary, the DLL in lower case; an import by
# ordinal as "dll #ordinal". A binary objdump cannot read, or one with
# delay-loaded imports (which objdump does not list), prints "unreadable"
# with the reason: it must not pass for a binary without imports.
imports_of() {
  local headers
  if ! headers=$("$OBJDUMP" -p "$1" 2>&1); then
    echo "unreadable ${headers//$'\n'/ }"
    return
  fi
  if grep -Eq '^Entry d [0-9a-f]*[1-9a-f][0-9a-f]* [0-9a-f]+ Delay Import Directory' <<<"$headers"; then
    echo "unreadable it has delay-loaded imports, which this test cannot list"
    return
  fi
  awk '
    /^\tDLL Name: / { dll = tolower($3); next }
    /^\tvma:/ { next }
    dll != "" && /^\t[0-9a-f]+\t/ {
      if (NF >= 3) print dll, $3; else print dll, "#" $2 }' <<<"$headers"
}

# A version "major.minor" as one number that compares as the versions do
# (6.1 < 6.10 < 10.0).
version_number() { echo $(( ${1%%.*} * 1000 + ${1#*.} )); }
MINIMUM_NUMBER=$(version_number "$MINIMUM")
newer_than_minimum() { [ "$(version_number "$1")" -gt "$MINIMUM_NUMBER" ]; }

declare -A introduced
while read -r dll function version _; do
  case "$dll" in ''|'#'*) continue ;; esac
  introduced["$dll $function"]=$version
done <"$LIST"

failures=0 checked=0
mapfile -t binaries < <(find "$PACKAGE" -maxdepth 1 -type f \( -iname '*.dll' -o -iname '*.exe' \) | sort)
[ "${#binaries[@]}" -gt 0 ] || { echo "FAILED: no binaries in $PACKAGE"; exit 1; }
for binary in "${binaries[@]}"; do
  while read -r dll function; do
    if [ "$dll" = unreadable ]; then
      echo "FAILED: ${binary##*/}: its imports cannot be read: $function"
      failures=$((failures + 1))
      continue
    fi
    checked=$((checked + 1))
    version=${introduced["$dll $function"]:-}
    if [ -z "$version" ]; then
      echo "FAILED: ${binary##*/} imports $dll!$function, which $LIST does not list:" \
           "look up the Windows version that introduced it and add it there"
      failures=$((failures + 1))
    elif newer_than_minimum "$version"; then
      echo "FAILED: ${binary##*/} imports $dll!$function, introduced in Windows $version," \
           "newer than the minimum Windows $MINIMUM"
      failures=$((failures + 1))
    fi
  done < <(imports_of "$binary")
done
echo "$checked imports of ${#binaries[@]} binaries checked against Windows $MINIMUM: $failures failed"
[ "$failures" -eq 0 ]
