#!/usr/bin/env bash
# Prepares a build's Wine prefix: a 32-bit prefix of its own, with the host's
# type library stand-in (Vantrel.dll) and the component registered. Harmless
# to run again.
#   scripts/prepare-prefix.sh <build dir>
set -euo pipefail
BUILD_DIR=$(cd "${1:?usage: prepare-prefix.sh <build dir>}" && pwd)
unset OVIX_PREFIX_COPY  # always the build's own prefix, which the copies are made from
source "$(dirname "$0")/wine-env.sh"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "prefix: creating $WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
fi
end_crashes_at_once
wine "$BUILD_DIR/bin/register_typelib.exe" "$BUILD_DIR/bin/Vantrel.dll" </dev/null

# The dialog's font "宋体" is not installed: Wine draws it with a Chinese font
# from Debian's packages instead (fonts-wqy-microhei, installed by setup.sh).
for face in 宋体 SimSun; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d 'WenQuanYi Micro Hei' /f </dev/null >/dev/null
done

# Test programs that open dialogs (and the isolation helper, which shows an
# extension's): Wine manages their windows itself, so that
# closing a window does not wait for a window manager that Xvfb does not have.
for program in input_param_test.exe edit_operation_test.exe isolation_dialog_test.exe ParamExtensionHost.exe; do
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d N /f </dev/null >/dev/null
done

# The component itself, so that clients can create it by class or ProgID.
(cd "$BUILD_DIR/bin" && wine regsvr32 /s OvixParamTransactor.dll </dev/null)
echo "prefix: registered OvixParamTransactor.dll"
# regsvr32 is a windowed program: let this Wine session end, so that the next
# one starts its desktop on the display the tests give it.
wineserver -w
# When it was last prepared: the copies of scripts that run beside each other
# (prefix-copy.sh) are made again after it.
touch "$WINEPREFIX/.prepared"
