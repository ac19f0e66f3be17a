#!/usr/bin/env bash
# Signs files in place with Authenticode (Debian's osslsigncode): programs,
# DLLs and Windows Installer packages.
#   sign-files.sh [--timestamp URL] <certificate .pfx> <file>...
# The certificate's password is read from the environment variable
# PACKAGE_SIGN_PASSWORD (empty when unset); it is handed to osslsigncode
# through a pipe, never on a command line. With a timestamp server (RFC 3161)
# the signatures stay valid after the certificate expires.
# Exit status: 0 all signed, 1 a file could not be signed, 2 bad usage.
set -euo pipefail
timestamp_options=()
if [ "${1:-}" = --timestamp ] && [ $# -ge 2 ]; then
  timestamp_options=(-ts "$2")
  shift 2
fi
if [ $# -lt 2 ]; then
  echo "usage: sign-files.sh [--timestamp URL] <certificate .pfx> <file>..." >&2
  exit 2
fi
certificate=$1
shift
[ -f "$certificate" ] || { echo "sign-files: certificate $certificate not found" >&2; exit 2; }

for file in "$@"; do
  signed="$file.signing"
  rm -f "$signed"
  if ! osslsigncode sign -pkcs12 "$certificate" -readpass <(printf '%s' "${PACKAGE_SIGN_PASSWORD:-}") \
      -h sha256 -n OvixParamTransactor "${timestamp_options[@]}" -in "$file" -out "$signed" >/dev/null; then
    rm -f "$signed"
    echo "sign-files: signing $file failed" >&2
    exit 1
  fi
  mv -f "$signed" "$file"
done
