#!/usr/bin/env bash
# A station's life with the Windows Installer package, in one fresh Wine
# prefix (as a freshly installed computer): install unattended; the COM
# entries the package wrote are exactly those regsvr32 writes for the same
# installed file; a script creates the object by its ProgID and param_host
# explains a field with the installed rules file; an engineer edits that
# file; the next version (the same binaries with the next version set in
# their version resources and in the installer) upgrades the product, keeps the edit and replaces the DLL; the older
# package refuses to downgrade; uninstall leaves nothing of the product but
# the edited rules file.
#   msi-install-test.sh <build dir> <source dir> <package msi> <version>
set -uo pipefail
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
MSI=$(realpath "$3")
VERSION=$4
HERE=$(cd "$(dirname "$0")" && pwd)
STATION="$BUILD/msi-test"
BUILD_DIR="$STATION"  # the prefix: $STATION/wineprefix
source "$SOURCE/scripts/wine-env.sh"

source "$HERE/station-checks.sh"

INSTALLED="$WINEPREFIX/drive_c/Program Files/OvixParamTransactor"
INSTALLED_WINDOWS='C:\Program Files\OvixParamTransactor'
# Windows Installer's exit codes as they reach Linux (the code modulo 256).
SUCCESS=0 INSTALL_FAILURE=$((1603 % 256))


# Every value under the product's three class keys, one "key | name | type | value" line each, sorted.
com_entries() {
  for key in "HKCR\\CLSID\\$CLSID" "HKCR\\$PROGID" "HKCR\\TypeLib\\$LIBID"; do
    wine reg query "$key" /s </dev/null 2>/dev/null | tr -d '\r' | awk '
      /^HKEY_/ { key = $0; next }
      /^    / { sub(/^    /, ""); n = split($0, field, /    /)
                value = n >= 3 ? field[3] : ""; for (i = 4; i <= n; i++) value = value "    " field[i]
                if (field[1] ~ /^\(.*\)$/) field[1] = "(default)"  # the default value, in the console code page
                print key " | " field[1] " | " field[2] " | " value }'
  done | sort
}
delete_com_entries() {
  for key in "HKCR\\CLSID\\$CLSID" "HKCR\\$PROGID" "HKCR\\TypeLib\\$LIBID"; do
    wine reg delete "$key" /f </dev/null >/dev/null 2>&1
  done
}

# --- The next version, packed from this build's binaries with their
# version resources and the installer's version set to it, as a release
# build of the next version would carry them.
NEXT_VERSION=$(awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }' <<<"$VERSION")
NEXT="$BUILD/msi-test-next"
NEXT_PACKAGE="$NEXT/OvixParamTransactor-$NEXT_VERSION"
NEXT_MSI="$NEXT/OvixParamTransactor-$NEXT_VERSION.msi"
rm -rf "$NEXT"
mkdir -p "$NEXT/installer"
cp -r "$BUILD/package/OvixParamTransactor-$VERSION" "$NEXT_PACKAGE"
for binary in "$NEXT_PACKAGE"/*.dll "$NEXT_PACKAGE"/*.exe; do
  RUN="restamp_version $binary $NEXT_VERSION"
  OUT=$(WINEPREFIX="$BUILD/wineprefix" wine "$BUILD/bin/restamp_version.exe" "$binary" "$NEXT_VERSION" </dev/null 2>&1)
  CODE=$?
  expect_code 0
done
sed -i "s/version=\"$VERSION\.0\"/version=\"$NEXT_VERSION.0\"/" "$NEXT_PACKAGE/OvixParamTransactor.manifest"
cp "$BUILD/packaging/installer/ComRegistration.wxi" "$NEXT/installer/"
sed "s/^set(VERSION .*)/set(VERSION \"$NEXT_VERSION\")/" "$BUILD/packaging/installer-settings.cmake" \
  >"$NEXT/installer-settings.cmake"
RUN="MakeInstaller.cmake for $NEXT_VERSION"
OUT=$(cmake -DSETTINGS="$NEXT/installer-settings.cmake" -DPACKAGE_DIR="$NEXT_PACKAGE" -DINCLUDE_DIR="$NEXT/installer" \
  -DMSI="$NEXT_MSI" -P "$SOURCE/packaging/MakeInstaller.cmake" 2>&1)
CODE=$?
expect_code 0

# --- The tables wixl cannot write: the rules files are never overwritten and permanent.
RUN="msiinfo export $MSI Component"
OUT=$(msiinfo export "$MSI" Component | tr -d '\r')
CODE=$?
rules_components=0
while IFS=$'\t' read -r component _ _ attributes _; do
  case "$component" in
    *.ini)
      rules_components=$((rules_components + 1))
      [ "$attributes" = 144 ] || fail "component $component has attributes $attributes, not 144" ;;
  esac
done < <(tail -n +4 <<<"$OUT")
[ "$rules_components" = 2 ] || fail "$rules_components rules file components, not 2 (FieldRules.ini, IsolatedExtension.ini)"
expect_text "FieldRules.ini"
# A downgrade is refused with a message.
run msiinfo export "$MSI" LaunchCondition
expect_text "NOT WIX_DOWNGRADE_DETECTED	A newer version of OvixParamTransactor is already installed."

# --- A fresh machine with the host installed (its type library registered).
wineserver -k 2>/dev/null  # a server left by an earlier run holds the old prefix
rm -rf "$STATION"
mkdir -p "$STATION"
fresh_station_prefix "$BUILD"
end_crashes_at_once
run wine "$BUILD/bin/register_typelib.exe" "$BUILD/bin/Vantrel.dll"
expect_code 0

run wine msiexec /i "$(winepath -w "$MSI")" /qn
expect_code $SUCCESS
for path in $(sed 's/|.*//' "$BUILD/packaging/package-files.txt" | grep -vx 'install.cmd\|uninstall.cmd'); do
  cmp -s "$BUILD/package/OvixParamTransactor-$VERSION/$path" "$INSTALLED/$path" ||
    { RUN="cmp $path"; fail "$path is not installed as packed"; }
done
[ ! -e "$INSTALLED/install.cmd" ] || { RUN="ls $INSTALLED"; fail "the installer must not ship install.cmd"; }
wineserver -w
RUN="grep DisplayName $WINEPREFIX/system.reg"
grep -qF '"DisplayName"="OvixParamTransactor"' "$WINEPREFIX/system.reg" || fail "not listed in Programs and Features"

# The package's COM entries, then regsvr32's for the same installed file.
installed_entries=$(com_entries)
delete_com_entries
RUN="com_entries after deleting them"
[ -z "$(com_entries)" ] || fail "COM entries are left after deleting them: the comparison below would see them twice"
run wine regsvr32 /s "$INSTALLED_WINDOWS\\OvixParamTransactor.dll"
expect_code 0
registered_entries=$(com_entries)
RUN="diff <installer's COM entries> <regsvr32's COM entries>"
OUT=$(diff <(echo "$installed_entries") <(echo "$registered_entries"))
CODE=$?
expect_code 0
OUT=$installed_entries
expect_text "CLSID\\$CLSID\\InprocServer32 | ThreadingModel | REG_SZ | Apartment"
expect_text "\\$PROGID\\Clsid | (default) | REG_SZ | $CLSID"

# --- The installed component at work.
cd "$INSTALLED" || exit 1
run wine cscript.exe //nologo "$(winepath -w "$HERE/../frame/ScriptClient.vbs")"
expect_code 0
expect_text "ExplainLibrary=ExtSucceed.dll"
run wine param_host.exe --version
expect_code 0
expect_text "param_host           $VERSION"
expect_text "OvixParamTransactor  $VERSION"
explain_voltage() {
  run wine param_host.exe explain --frame "7E 44 32 30 34 0D" --start 2 --count 4 --hex --param-id 1 \
    --explain-lib FieldRules.dll
  expect_code 0
  grep -qF "registered $PROGID from" <<<"$OUT" && fail "param_host had to register the component itself"
}
explain_voltage
expect_text 'display text  "12.34 V"'

# --- The engineer's rules, then the upgrade.
sed -i 's/^unit = V\r\?$/unit = volt\r/' FieldRules.ini
explain_voltage
expect_text 'display text  "12.34 volt"'
edited_rules=$(sha256sum < FieldRules.ini)

run wine msiexec /i "$(winepath -w "$NEXT_MSI")" /qn
expect_code $SUCCESS
[ "$(sha256sum < FieldRules.ini)" = "$edited_rules" ] || { RUN="FieldRules.ini"; fail "the upgrade changed the edited rules"; }
cmp -s "$NEXT_PACKAGE/OvixParamTransactor.dll" OvixParamTransactor.dll ||
  { RUN="cmp OvixParamTransactor.dll"; fail "the upgrade did not replace the DLL"; }
run wine param_host.exe --version
expect_text "param_host           $NEXT_VERSION"
expect_text "OvixParamTransactor  $NEXT_VERSION"
explain_voltage
expect_text 'display text  "12.34 volt"'

# The older package refuses to replace the newer one: it finds it, and its
# launch condition stops the install (with the message above; Wine logs
# only the detection).
run wine msiexec /i "$(winepath -w "$MSI")" /qn "/l*" "$(winepath -w "$STATION/downgrade.log")"
expect_code $INSTALL_FAILURE
OUT=$(tr -d '\r' <"$STATION/downgrade.log")
expect_text "WIX_DOWNGRADE_DETECTED = {"
run wine param_host.exe --version
expect_text "OvixParamTransactor  $NEXT_VERSION"

# --- Uninstall: only the engineers' .ini files are left (permanent), the
# edited rules file as edited.
cd "$STATION" || exit 1
run wine msiexec /x "$(winepath -w "$NEXT_MSI")" /qn
expect_code $SUCCESS
RUN="ls -R $INSTALLED"
OUT=$(cd "$INSTALLED" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$OUT" = "./FieldRules.ini ./IsolatedExtension.ini " ] &&
  [ "$(sha256sum < "$INSTALLED/FieldRules.ini")" = "$edited_rules" ] ||
  fail "the install folder should hold the .ini files only, FieldRules.ini as edited"
RUN="ls C:\\windows\\Installer"
OUT=$(ls "$WINEPREFIX/drive_c/windows/Installer" 2>/dev/null | grep -i '\.msi$')
[ -z "$OUT" ] || fail "Windows Installer still keeps a copy of the package"
# (Programs and Features lists the product under its display name.)
expect_no_registry_entries OvixParamTransactor.dll param_host.exe '"DisplayName"="OvixParamTransactor"'
wineserver -k
finish "msi install"
