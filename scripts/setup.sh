#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine.
# Safe to run again: it installs only what is missing.
set -euo pipefail

# Only what is used, without the packages they merely recommend (Mesa, LLVM,
# GStreamer, the 64-bit Wine: half the download and most of the unpacking):
# the compiler of the thread model the toolchain file names (-posix), Wine
# for 32-bit programs, its IDL compiler (widl, in wine64-tools) and headers
# (libwine-dev), the display and screenshots the window tests take
# (imagemagick's import), a Chinese font for the dialog, the locale, and the
# packaging tools.
packages=(
  cmake make googletest
  g++-mingw-w64-i686-posix mingw-w64-tools wine64-tools libwine-dev:i386
  wine wine32:i386
  xvfb xauth x11-utils imagemagick fonts-wqy-microhei locales jq
  zip nlohmann-json3-dev
  wixl msitools faketime osslsigncode openssl
)

# The operators' locale, so that Wine runs with code page 936.
ensure_locale() {
  locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' && return 0
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
}

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  ensure_locale
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
ensure_locale
echo "setup: done"
