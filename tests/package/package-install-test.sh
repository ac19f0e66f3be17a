#!/usr/bin/env bash
# A station's life from the release ZIP alone, in a fresh Wine prefix (as a
# freshly installed computer): unpack, install.cmd, create the object by its
# ProgID from a script, check it with param_host, build an extension with the
# kit's build line, uninstall.cmd, then the same per user; afterwards no entry
# of the component is left anywhere in the registry.
#   package-install-test.sh <build dir> <package zip> <version>
set -uo pipefail
BUILD=$(cd "$1" && pwd)
ZIP=$2
VERSION=$3
HERE=$(cd "$(dirname "$0")" && pwd)
STATION="$BUILD/package-test"
BUILD_DIR="$STATION"  # the prefix: $STATION/wineprefix
source "$HERE/../../scripts/wine-env.sh"

source "$HERE/station-checks.sh"

# True when the registry key exists in the prefix.
key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1; }

rm -rf "$STATION"
mkdir -p "$STATION/unpacked"
(cd "$STATION/unpacked" && cmake -E tar xf "$ZIP") || { echo "cannot unpack $ZIP"; exit 1; }
PACKAGE=$(echo "$STATION"/unpacked/*/)
cd "$PACKAGE" || exit 1
sha256sum --quiet -c SHA256SUMS.txt || fail "SHA256SUMS.txt does not match the files"
# Extension isolation: the library, its helper and an example .ini.
for shipped in IsolatedExtension.dll ParamExtensionHost.exe IsolatedExtension.ini; do
  [ -f "$shipped" ] || fail "the package lacks $shipped"
done

fresh_station_prefix "$BUILD"
end_crashes_at_once

# Before the host is installed the component cannot start: install.cmd says why.
run wine cmd /c install.cmd
expect_code 1
expect_text "The DLL could not be loaded. Is the host application installed, with its type library Vantrel.dll registered?"
run wine cmd /c install.cmd /everyone
expect_code 2
expect_text 'unknown option "/everyone"'

# The host's installation registers its type library.
run wine "$BUILD/bin/register_typelib.exe" "$BUILD/bin/Vantrel.dll"
expect_code 0

# For the machine.
run wine cmd /c install.cmd
expect_code 0
expect_text "install.cmd: registered OvixParamTransactor $VERSION for every user of this computer."
expect_text 'C:\windows\System32\regsvr32.exe'
key_exists "HKCR\\CLSID\\$CLSID\\InprocServer32" || fail "no machine-wide class entry"

DLL_PATH="$(winepath -w "$PACKAGE")OvixParamTransactor.dll"
run wine param_host.exe --version
expect_text "param_host           $VERSION"
expect_text "OvixParamTransactor  $VERSION  $DLL_PATH"
run wine param_host.exe --version --json
expect_text "{\"paramHost\":\"$VERSION\",\"component\":{\"path\":\"${DLL_PATH//\\/\\\\}\",\"version\":\"$VERSION\"}}"

run wine cscript.exe //nologo "$(winepath -w "$HERE/../frame/ScriptClient.vbs")"
expect_code 0
expect_text "ExplainLibrary=ExtSucceed.dll"
expect_text "EditLibrary=NoSuchExtension.dll"

# The extension kit's MinGW build line, on the kit's sample, then in use.
(cd extension-kit && i686-w64-mingw32-gcc -std=c17 -O2 -shared -I. -o "$STATION/KitSample.dll" \
  sample/EngineeringUnits.c sample/EngineeringUnits.def -Wl,--enable-stdcall-fixup) || fail "the kit's build line failed"
run wine param_host.exe explain --frame "7E 44 32 30 34 0D" --start 2 --count 4 --hex --param-id 1 \
  --explain-lib "$(winepath -w "$STATION/KitSample.dll")"
expect_code 0
expect_text 'display text  "12.34 V"'
grep -qF "registered $PROGID from" <<<"$OUT" && fail "param_host had to register the component itself"

run wine cmd /c uninstall.cmd
expect_code 0
expect_text "uninstall.cmd: removed the registration of OvixParamTransactor for every user of this computer."
key_exists "HKCR\\CLSID\\$CLSID" && fail "the class is still registered"
run wine param_host.exe --version
expect_text "OvixParamTransactor  not registered"

# For the current user. (Wine looks classes up in the machine's keys only, so
# the user's entries are checked, not used.)
run wine cmd /c install.cmd /user
expect_code 0
expect_text "for the current user"
key_exists "HKCU\\Software\\Classes\\CLSID\\$CLSID\\InprocServer32" || fail "no per-user class entry"
key_exists "HKCU\\Software\\Classes\\$PROGID\\Clsid" || fail "no per-user ProgID entry"
key_exists "HKLM\\Software\\Classes\\CLSID\\$CLSID" && fail "per-user install wrote a machine-wide class entry"
run wine cmd /c uninstall.cmd /user
expect_code 0
expect_text "removed the registration of OvixParamTransactor for the current user"

# Nothing of the component is left in the prefix's registry files.
expect_no_registry_entries
finish "package install"
