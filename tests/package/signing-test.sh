#!/usr/bin/env bash
# Signing the release packages: with a throwaway certificate made here, the
# package steps of the build (MakePackage.cmake, MakeInstaller.cmake, as
# scripts/package.sh --sign runs them) lay out this build's files again, sign
# every DLL and program before their SHA-256 list is written, and sign the
# MSI; osslsigncode verifies each signature against the certificate. A wrong
# password stops the packing with an error.
#   signing-test.sh <build dir> <source dir>
set -uo pipefail
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
WORK="$BUILD/signing-test"
cache() { sed -n "s/^$1:[A-Z]*=//p" "$BUILD/CMakeCache.txt"; }

failures=0
fail() { echo "FAILED: $1"; failures=$((failures + 1)); }

rm -rf "$WORK"
mkdir -p "$WORK/installer"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/key.pem" -out "$WORK/certificate.pem" -days 2 \
  -subj "/CN=OvixParamTransactor throwaway test signer" 2>/dev/null &&
  openssl pkcs12 -export -inkey "$WORK/key.pem" -in "$WORK/certificate.pem" -out "$WORK/signer.pfx" \
    -passout pass:throwaway-password || { echo "cannot make a certificate"; exit 1; }

zip=$(ls "$BUILD"/OvixParamTransactor-*.zip)
name=$(basename "$zip" .zip)
file_time=$(cat "$BUILD/package/package-file-time.txt")
# Packs this build's files signed, with the password given; the step's exit status.
pack_signed() {
  PACKAGE_SIGN_PASSWORD=$1 cmake -DENTRIES="$BUILD/packaging/package-files.txt" -DSTAGING_DIR="$WORK/package" \
    -DPACKAGE_NAME="$name" -DZIP="$WORK/$name.zip" -DZIP_PROGRAM="$(cache ZIP_PROGRAM)" -DFILE_TIME="$file_time" \
    -DSIGN_CERT="$WORK/signer.pfx" \
    -P "$SOURCE/packaging/MakePackage.cmake"
}

if pack_signed wrong-password >"$WORK/wrong.log" 2>&1; then
  fail "packing with a wrong password succeeded"
fi
grep -q "sign-files: signing .* failed" "$WORK/wrong.log" || { cat "$WORK/wrong.log"; fail "no error for a wrong password"; }

pack_signed throwaway-password || exit 1
cp "$BUILD/packaging/installer/ComRegistration.wxi" "$WORK/installer/"
PACKAGE_SIGN_PASSWORD=throwaway-password cmake -DSETTINGS="$BUILD/packaging/installer-settings.cmake" \
  -DPACKAGE_DIR="$WORK/package/$name" -DINCLUDE_DIR="$WORK/installer" -DMSI="$WORK/$name.msi" \
  -DSIGN_CERT="$WORK/signer.pfx" \
  -P "$SOURCE/packaging/MakeInstaller.cmake" || exit 1

cd "$WORK/package/$name" || exit 1
signed=(*.dll *.exe)
[ "${#signed[@]}" -ge 5 ] || fail "expected at least 5 programs and DLLs, found ${signed[*]}"
for file in "${signed[@]}" "$WORK/$name.msi"; do
  if ! result=$(osslsigncode verify -in "$file" -CAfile "$WORK/certificate.pem" 2>&1) ||
      ! grep -q "Signature verification: ok" <<<"$result"; then
    echo "$result" | tail -5
    fail "$file: no valid signature"
  fi
done
sha256sum --quiet -c SHA256SUMS.txt || fail "SHA256SUMS.txt does not list the signed files"
for file in "${signed[@]}"; do
  cmp -s "$file" "$BUILD/package/release/$file" && fail "$file is the same as the unsigned one"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
rm -rf "$WORK"
echo "signing: ok (${signed[*]} and $name.msi)"
