#!/usr/bin/env bash
# Builds the release packages in one command, on a fresh machine too:
# build/OvixParamTransactor-<version>.zip (its files also unpacked under
# build/package/), with the DLL, param_host, the sample extension, the
# extension kit, the manifest, install.cmd/uninstall.cmd, the operator's
# README and SHA256SUMS.txt; and build/OvixParamTransactor-<version>.msi, the
# Windows Installer package of the same files (without the install scripts).
# The shipped DLLs and programs are stripped; their debug files stay in
# build/package/debug.
#   scripts/package.sh [--sign CERT.pfx [--timestamp URL]] [--json]
#   --sign CERT.pfx   sign every shipped DLL and program, and the MSI, with
#                     Authenticode; the certificate's password is read from
#                     the environment variable PACKAGE_SIGN_PASSWORD
#   --timestamp URL   an RFC 3161 timestamp server for the signatures
#   --json            print one JSON object instead of text
# Without --sign the packages are unsigned, and two builds of one commit give
# the same bytes. Exit status: 0 built, 1 the build failed, 2 bad usage.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build"

usage() { sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; }
bad_usage() { echo "package: $1 (try --help)" >&2; exit 2; }
certificate="" timestamp="" json=false
while [ $# -gt 0 ]; do
  case "$1" in
    --sign) [ $# -ge 2 ] || bad_usage "--sign needs a certificate file"; certificate=$2; shift 2 ;;
    --timestamp) [ $# -ge 2 ] || bad_usage "--timestamp needs a URL"; timestamp=$2; shift 2 ;;
    --json) json=true; shift ;;
    -h|--help) usage; exit 0 ;;
    *) bad_usage "unknown option $1" ;;
  esac
done
if [ -n "$certificate" ]; then
  [ -f "$certificate" ] || bad_usage "certificate $certificate not found"
  certificate=$(cd "$(dirname "$certificate")" && pwd)/$(basename "$certificate")
elif [ -n "$timestamp" ]; then
  bad_usage "--timestamp goes with --sign"
fi

# Progress on stderr; the result on stdout.
progress() { $json && echo "package: $*" >&2 || echo "package: $*"; }
progress "setting up and configuring"
"$ROOT/scripts/setup.sh" >&2
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DPACKAGE_SIGN_CERT="$certificate" -DPACKAGE_SIGN_TIMESTAMP="$timestamp" >/dev/null
progress "building${certificate:+ and signing} (the first build takes several minutes)"
if ! cmake --build "$BUILD" -j"$(nproc)" --target release_package installer_package >&2; then
  echo "package: the build failed" >&2
  exit 1
fi

zip=$(ls -t "$BUILD"/OvixParamTransactor-*.zip | head -1)
msi="${zip%.zip}.msi"
sum() { sha256sum "$1" | cut -d' ' -f1; }
size() { stat -c %s "$1"; }
release="$BUILD/package/release"
if $json; then
  binaries=""
  for file in "$release"/*; do
    name=$(basename "$file")
    binaries+="${binaries:+,}{\"file\":\"$name\",\"bytes\":$(size "$file"),\"bytesBeforeStripping\":$(size "$BUILD/bin/$name")}"
  done
  printf '{"zip":{"path":"%s","sha256":"%s"},"msi":{"path":"%s","sha256":"%s"},"signed":%s,"binaries":[%s]}\n' \
    "$zip" "$(sum "$zip")" "$msi" "$(sum "$msi")" "$([ -n "$certificate" ] && echo true || echo false)" "$binaries"
  exit 0
fi
echo "package: $zip"
echo "package: SHA-256 $(sum "$zip")"
echo "package: $msi"
echo "package: SHA-256 $(sum "$msi")"
[ -z "$certificate" ] || echo "package: signed with $certificate"
echo "shipped binaries (bytes, stripped; before stripping; debug files in $BUILD/package/debug):"
for file in "$release"/*; do
  name=$(basename "$file")
  printf '  %-26s %9s  %9s\n' "$name" "$(size "$file")" "$(size "$BUILD/bin/$name")"
done
