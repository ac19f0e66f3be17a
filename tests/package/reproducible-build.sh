#!/usr/bin/env bash
# Two builds of one commit give the same bytes: configures a second build tree
# (at another path, inside this one, using this build's Wine prefix), builds
# the shipped DLLs there and compares them with this build's byte for byte;
# then packs this build's package files a second time and compares the ZIPs
# and the MSIs.
# (param_host.exe is linked the same way; version_resource_test checks that it
# carries no link time.)
# A pass is remembered in <build dir>/reproducible-verified: a fingerprint of
# the sources (with uncommitted changes), the compiler, the build settings and
# the bytes compared. A run that finds the same fingerprint has nothing new to
# prove (these very bytes were built again from scratch elsewhere and matched)
# and says so instead of building a third time; any change runs the check.
# Delete the file to run it anyway. A tree that is no git checkout always runs.
#   reproducible-build.sh <build dir> <source dir>
set -uo pipefail
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
SECOND="$BUILD/reproducible"
LIBRARIES=(OvixParamTransactor FieldRules EngineeringUnits ParamHostTrace IsolatedExtension)
cache() { sed -n "s/^$1:[A-Z]*=//p" "$BUILD/CMakeCache.txt"; }

failures=0
# Compares one file of both builds; on a difference, says where.
compare() {
  if ! cmp -s "$1" "$2"; then
    echo "reproducible: $1 and $2 differ at $(cmp -l "$1" "$2" 2>&1 | wc -l) byte(s), first at:" >&2
    cmp -l "$1" "$2" 2>&1 | head -3 >&2
    failures=$((failures + 1))
  fi
}

VERIFIED="$BUILD/reproducible-verified"
# Prints the fingerprint, or nothing when the sources cannot be listed.
fingerprint() {
  local files library
  files=$(git -C "$SOURCE" ls-files -co --exclude-standard 2>/dev/null) || return 0
  {
    (cd "$SOURCE" && tr '\n' '\0' <<<"$files" | xargs -0 sha256sum 2>&1)
    "$(cache CMAKE_CXX_COMPILER)" --version
    cmake --version
    grep -E '^(CMAKE_BUILD_TYPE|CMAKE_TOOLCHAIN_FILE|CMAKE_GENERATOR):' "$BUILD/CMakeCache.txt"
    cd "$BUILD" || return
    for library in "${LIBRARIES[@]}"; do sha256sum "bin/$library.dll" 2>&1; done
    sha256sum OvixParamTransactor-*.zip OvixParamTransactor-*.msi 2>&1
  } | sha256sum | cut -d' ' -f1
}
print=$(fingerprint)
if [ -n "$print" ] && [ -f "$VERIFIED" ] && [ "$(head -1 "$VERIFIED")" = "$print" ]; then
  echo "reproducible: nothing changed since $(sed -n 2p "$VERIFIED"), when these binaries were built again" \
    "from scratch and matched byte for byte (delete $VERIFIED to build again)"
  exit 0
fi
rm -f "$VERIFIED"

rm -rf "$SECOND"
cmake -S "$SOURCE" -B "$SECOND" -G "$(cache CMAKE_GENERATOR)" -DCMAKE_TOOLCHAIN_FILE="$(cache CMAKE_TOOLCHAIN_FILE)" \
  -DCMAKE_BUILD_TYPE="$(cache CMAKE_BUILD_TYPE)" -DWINE_PREFIX_BUILD_DIR="$BUILD" >/dev/null || exit 1
# One job: the test suite runs the other tests beside it on the other cores.
cmake --build "$SECOND" -j1 --target "${LIBRARIES[@]}" >"$SECOND/build.log" 2>&1 ||
  { cat "$SECOND/build.log"; exit 1; }
for library in "${LIBRARIES[@]}"; do
  compare "$BUILD/bin/$library.dll" "$SECOND/bin/$library.dll"
done

# The same files packed again, later and elsewhere, make the same ZIP and MSI.
zip=$(ls "$BUILD"/OvixParamTransactor-*.zip)
name=$(basename "$zip" .zip)
cmake -DENTRIES="$BUILD/packaging/package-files.txt" -DSTAGING_DIR="$SECOND/package" -DPACKAGE_NAME="$name" \
  -DZIP="$SECOND/$name.zip" -DZIP_PROGRAM="$(cache ZIP_PROGRAM)" \
  -DFILE_TIME="$(cat "$BUILD/package/package-file-time.txt")" -P "$SOURCE/packaging/MakePackage.cmake" || exit 1
compare "$zip" "$SECOND/$name.zip"

mkdir -p "$SECOND/installer"
cp "$BUILD/packaging/installer/ComRegistration.wxi" "$SECOND/installer/"
cmake -DSETTINGS="$BUILD/packaging/installer-settings.cmake" -DPACKAGE_DIR="$SECOND/package/$name" \
  -DINCLUDE_DIR="$SECOND/installer" -DMSI="$SECOND/$name.msi" -P "$SOURCE/packaging/MakeInstaller.cmake" || exit 1
compare "$BUILD/$name.msi" "$SECOND/$name.msi"

if [ "$failures" -ne 0 ]; then
  echo "(the second build is kept in $SECOND)" >&2
  exit 1
fi
echo "reproducible: ${LIBRARIES[*]}, $name.zip and $name.msi are the same in both builds"
rm -rf "$SECOND"
[ -n "$print" ] && printf '%s\n%s\n' "$print" "$(date -u '+%Y-%m-%d %H:%M UTC')" >"$VERIFIED"

