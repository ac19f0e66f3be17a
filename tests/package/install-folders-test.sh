#!/usr/bin/env bash
# The package where integrators put it, in a fresh Wine prefix: a folder
# outside the ANSI code page (C:\站点\한글), one whose path is 300 characters
# long, and ones with & ( ) ! (C:\R&D (x86)!\pkg) and % (C:\50% off\pkg).
# From each: register for the machine and for the user, create the object
# through the registration and use it, unregister, and unregister again when
# nothing is registered; the scripts print every path whole.
#   install-folders-test.sh <build dir> <package zip> <version>
set -uo pipefail
BUILD=$(cd "$1" && pwd)
ZIP=$2
VERSION=$3
STATION="$BUILD/folders-test"
BUILD_DIR="$STATION"  # the prefix: $STATION/wineprefix
source "$(dirname "$0")/../../scripts/wine-env.sh"
source "$(dirname "$0")/station-checks.sh"
# The command prompt prints in the console's code page 936: what it said is
# kept as UTF-8, as param_host writes it.
run_prompt() {
  run "$@"
  OUT=$(iconv -f GBK -t UTF-8 -c <<<"$OUT")
}
expect_no_text() { grep -qF -- "$1" <<<"$OUT" && fail "unexpected text: $1"; }
key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1; }

rm -rf "$STATION"
mkdir -p "$STATION/unpacked"
(cd "$STATION/unpacked" && cmake -E tar xf "$ZIP") || { echo "cannot unpack $ZIP"; exit 1; }
PACKAGE=$(echo "$STATION"/unpacked/*/)
fresh_station_prefix "$BUILD"
end_crashes_at_once
wine "$BUILD/bin/register_typelib.exe" "$BUILD/bin/Vantrel.dll" </dev/null >/dev/null
DRIVE_C="$WINEPREFIX/drive_c"

# A folder of exactly 300 characters: C:\ and 74-character names.
long='C:'
while [ $(( ${#long} + 75 )) -le 300 ]; do long+='\'$(printf 'L%.0s' $(seq 74)); done
long+='\'$(printf 'T%.0s' $(seq $(( 300 - ${#long} - 1 ))))
[ ${#long} -eq 300 ] || { echo "the long folder has ${#long} characters"; exit 1; }

for folder in 'C:\站点\한글' "$long" 'C:\R&D (x86)!\pkg' 'C:\50% off\pkg'; do
  unix="$DRIVE_C/$(sed 's/^C:\\//; s/\\/\//g' <<<"$folder")"
  mkdir -p "$unix" && cp -r "$PACKAGE". "$unix/"
  dll="$folder\\OvixParamTransactor.dll"
  echo "--- $folder"

  # Registered and used from the folder itself, with the package's scripts.
  # A command prompt cannot stand in a folder longer than 259 characters, and
  # Wine's drops a % from the script's own path (%~dp0): there regsvr32 is
  # given the path.
  scripts=false
  [ ${#folder} -lt 260 ] && [ "$folder" = "${folder//%/}" ] && scripts=true
  if $scripts; then
    cd "$unix" || exit 1
    run_prompt wine cmd /c install.cmd
    expect_code 0
    # Code page 936 has no Korean: only the other folders print whole.
    [ "$folder" = "${folder//한글/}" ] && expect_text "server     \"$dll\""
    expect_no_text "not recognized"
  else
    run wine regsvr32 /s "$dll"
    expect_code 0
  fi
  key_exists "HKLM\\Software\\Classes\\CLSID\\$CLSID\\InprocServer32" || fail "no machine-wide class entry"
  # The registered server, as param_host reads it (UTF-8 JSON), is the folder's DLL.
  run wine "$folder\\param_host.exe" --version --json
  registered=$(sed -n 's/.*"path":"\([^"]*\)".*/\1/p' <<<"$OUT" | sed 's/\\\\/\\/g')
  [ -n "$registered" ] && [ "$(winepath -u "$registered" 2>/dev/null)" -ef "$unix/OvixParamTransactor.dll" ] ||
    fail "the registered server is not the folder's DLL"

  run wine "$folder\\param_host.exe" explain --frame "7E 44 32 30 34 0D" --start 2 --count 4 --hex --param-id 1 \
    --explain-lib "$folder\\EngineeringUnits.dll"
  expect_code 0
  expect_text 'display text  "12.34 V"'
  expect_no_text "registered OvixParamTransactor"

  if $scripts; then
    run_prompt wine cmd /c uninstall.cmd
    expect_code 0
    expect_text "uninstall.cmd: removed the registration of OvixParamTransactor for every user of this computer."
    [ "$folder" = "${folder//한글/}" ] && expect_text "The files in \"$folder\\\" are left as they are"
    run_prompt wine cmd /c uninstall.cmd
    expect_code 0
    expect_text "uninstall.cmd: nothing was registered for every user of this computer"

    run_prompt wine cmd /c install.cmd /user
    expect_code 0
    key_exists "HKCU\\Software\\Classes\\CLSID\\$CLSID\\InprocServer32" || fail "no per-user class entry"
    run_prompt wine cmd /c uninstall.cmd /user
    expect_code 0
    expect_text "removed the registration of OvixParamTransactor for the current user"
    cd "$STATION" || exit 1
  else
    run wine regsvr32 /s /u "$dll"
    expect_code 0
    run wine regsvr32 /s /n /i:user "$dll"
    expect_code 0
    key_exists "HKCU\\Software\\Classes\\CLSID\\$CLSID\\InprocServer32" || fail "no per-user class entry"
    run wine regsvr32 /s /u /n /i:user "$dll"
    expect_code 0
  fi
  key_exists "HKLM\\Software\\Classes\\CLSID\\$CLSID" && fail "the class is still registered for the machine"
  key_exists "HKCU\\Software\\Classes\\CLSID\\$CLSID" && fail "the class is still registered for the user"
done

wineserver -k
finish "install folders"
