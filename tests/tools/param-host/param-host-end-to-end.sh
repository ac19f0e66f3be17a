#!/usr/bin/env bash
# One operation of the host's stand-in, end to end: param_host.exe under Wine
# creates the registered component by its ProgID, runs the operation with its
# own parameter object and prints what the host sees; the output is checked.
# `rules` runs FieldRules.dll and check-rules, `check` checks extension
# libraries, `trace` shows extension calls.
#   param-host-end-to-end.sh <build dir> explain|obscure|edit|rules|check|trace
set -uo pipefail
BUILD_DIR=$(cd "$1" && pwd)
OPERATION=$2
source "$(dirname "$0")/../../../scripts/wine-env.sh"
cd "$BUILD_DIR/bin"

failures=0
OUT="" ERR="" CODE=0 RUN="" SHOWN=""

# Runs param_host with the given arguments; keeps stdout, stderr and the exit
# code. The output goes to files, not a pipe: a process that param_host
# leaves behind (a child of the checker stuck at its start on a busy
# machine) cannot then hold the test, and a run that hangs is ended.
host() {
  local output errors
  output=$(mktemp) errors=$(mktemp)
  RUN="param_host $*"
  timeout -k 5 90 wine param_host.exe "$@" </dev/null >"$output" 2>"$errors"
  CODE=$?
  OUT=$(cat "$output") ERR=$(cat "$errors")
  rm -f "$output" "$errors"
}

# Reports a failed check, with the run's output once.
fail() {
  if [ "$SHOWN" != "$RUN" ]; then
    SHOWN=$RUN
    printf '\n$ %s (exit code %s)\n--- stdout:\n%s\n--- stderr:\n%s\n' "$RUN" "$CODE" "$OUT" "$ERR"
  fi
  echo "FAILED: $1"
  failures=$((failures + 1))
}

# Every given line appears in the output, exactly.
expect_lines() {
  local line
  for line in "$@"; do
    grep -qxF -- "$line" <<<"$OUT" || fail "expected the line: $line"
  done
}

expect_code() { [ "$CODE" -eq "$1" ] || fail "expected exit code $1, got $CODE"; }

FRAME="7E 44 32 30 34 38 33 46 46 30 31 30 30 0D"

explain() {
  # Unregistered ProgID: the program registers the component itself.
  wine reg delete 'HKCR\OvixParamTransactor.ParamTransactor' /f >/dev/null 2>&1
  host explain --frame "$FRAME" --start 2 --count 4 --hex
  expect_code 0
  grep -qF 'registered OvixParamTransactor.ParamTransactor from' <<<"$ERR" || fail "no registration notice"
  expect_lines 'HRESULT       0x00000000 (succeeded)' 'status        (not written)' \
    'value text    "04D2"' 'bit text      "1101001000000100"' \
    'display text  (not written)' 'explain code  (not written)'

  host explain --frame "$FRAME" --start 2 --count 4 --hex --param-id 1 --explain-lib EngineeringUnits.dll --json
  expect_code 0
  [ -z "$ERR" ] || fail "registered twice or warned"
  grep -qF '"valueText":"12.34","bitText":"1101001000000100","displayText":"12.34 V","explainCode":0}' <<<"$OUT" ||
    fail "JSON of the extension's explanation"

  host explain --frame "$FRAME" --start 10 --count 4 --hex --param-id 3 --suffix "(state)" \
    --explain-lib EngineeringUnits.dll
  expect_lines 'value text    "1"' 'display text  "运行 (state)"' 'explain code  0'

  host explain --frame "$FRAME" --start 2 --count 3 --hex
  expect_code 1
  expect_lines 'HRESULT       0x8000FFFF (failed) "Error, chars are odd as Two-byte combination！"'

  # Mistakes of the user: a message and exit code 2, a warning for a library
  # without the entry point (the component then explains on its own).
  host explain --frame "7E 4"
  expect_code 2
  grep -qxF 'param_host: --frame: odd number of hex digits (3): two per byte' <<<"$ERR" || fail "odd hex message"
  host explain --frame "$FRAME" --explain-lib NoSuchExtension.dll
  expect_code 2
  grep -qF "param_host: --explain-lib: cannot load 'NoSuchExtension.dll'" <<<"$ERR" || fail "missing library message"
  host explain --frame "$FRAME" --start 2 --count 4 --hex --explain-lib ExtNoEntry.dll
  expect_code 0
  grep -qxF 'param_host: warning: ExtNoEntry.dll does not export ExplainParam; Explain uses its built-in path' \
    <<<"$ERR" || fail "no warning about the missing entry point"
  expect_lines 'value text    "04D2"'

  # A refusal says why: a field at the frame's last byte (start equal to the
  # data length), one past it, an empty one; none once the length is the one
  # the host would pass.
  host explain --frame "$FRAME" --start 14 --count 1
  expect_code 0
  expect_lines 'status        1' \
    "refused       the field starts at the frame's last byte (start byte 14, data length 14): the component explains only a field that starts before the data length; pass the length the host would (--data-length)"
  host explain --frame "$FRAME" --start 20 --count 1 --json
  grep -qF '"status":1,"refusal":{"reason":"start-at-or-past-data-length","explanation":"start byte 20 is at or past the data length 14: ' <<<"$OUT" ||
    fail "JSON of a refusal past the data length"
  host explain --frame "$FRAME" --start 2 --count 0 --json
  grep -qF '"status":1,"refusal":{"reason":"empty-field","explanation":"the field is empty (byte count 0): the component explains only a field of at least one byte"}' <<<"$OUT" ||
    fail "JSON of an empty field's refusal"
  host explain --frame "$FRAME" --start 14 --count 1 --data-length 15
  expect_lines 'status        (not written)' 'bit text      "00001101"'
  grep -qF 'refused' <<<"$OUT" && fail "a refusal told where there is none"
}

obscure() {
  host obscure --obscure-text 0917
  expect_code 0
  expect_lines 'status        0' 'count         4' 'bytes         0 9 1 7'

  host obscure --value 12.34 --param-id 1 --int-a 5 --obscure-lib EngineeringUnits.dll --json
  expect_code 0
  grep -qxF '{"operation":"obscure","hresult":"0x00000000","succeeded":true,"error":null,"status":0,"count":5,"bytes":[0,1,2,3,4]}' <<<"$OUT" ||
    fail "JSON of the extension's digits"

  host obscure --obscure-text 12a
  expect_code 1
  expect_lines "HRESULT       0x8000FFFF (failed) \"'a' is not a valid integer value\"" \
    'status        (not written)' 'count         3'
}

edit() {
  host edit --edit-lib ExtSucceed.dll --trace
  expect_code 0
  expect_lines 'status        0' 'value         "5"' 'display text  "Five"' '  SetDisplayText("Five")'

  host edit --edit-lib ExtRefuse.dll
  expect_code 0
  expect_lines 'status        1' 'value         (not written)' 'display text  (not written)'

  # The dialog needs a display: without one, a message and no dialog.
  RUN="param_host edit --name Rate (no DISPLAY)"
  OUT=$(env -u DISPLAY wine param_host.exe edit --name Rate </dev/null 2>&1)
  CODE=$?
  expect_code 3
  grep -qF 'edit shows a dialog, but no display' <<<"$OUT" || fail "no message about the missing display"

  RUN="param_host edit --name Rate (DISPLAY names no open display)"
  OUT=$(DISPLAY=:4999 wine param_host.exe edit --name Rate </dev/null 2>&1)
  CODE=$?
  expect_code 3
  grep -qF 'no display: windows cannot be created' <<<"$OUT" || fail "no message about the unusable display"
}

# Every given jq test holds for the output.
expect_json() {
  local test
  for test in "$@"; do
    jq -e "$test" <<<"$OUT" >/dev/null || fail "expected the JSON to satisfy: $test"
  done
}

check() {
  # Through the script users run, with the default 200 unload cycles.
  RUN="scripts/param-host.sh check EngineeringUnits.dll"
  local output
  output=$(mktemp)
  BUILD_DIR="$BUILD_DIR" timeout -k 5 90 "$(dirname "$0")/../../../scripts/param-host.sh" check EngineeringUnits.dll \
    </dev/null >"$output" 2>&1
  CODE=$?
  OUT=$(cat "$output")
  rm -f "$output"
  expect_code 0
  expect_lines 'no problems found'
  grep -qE '^unload +200 load and free cycles left 0 TLS slots, 0 handles' <<<"$OUT" || fail "no unload line"
  ! grep -qF 'used up its budget' <<<"$OUT" || fail "a full check of the sample did not keep to its budget"

  # FieldRules.dll together with the rules it reads.
  host check FieldRules.dll --cycles 5 --param-ids 0-8 --late-ms 100
  expect_code 0
  expect_lines 'rules file:' '[3] (line 26) field 00 00 -> value text "0", display text "停止", explain code 0; Obscure "0" -> digits 0' \
    'no problems found'

  host check ExtCdabUtf8.dll --cycles 5 --late-ms 100
  expect_code 1
  grep -qF 'problem: ExplainParam: display out holds the bytes 32 31 2E 35 20 C2 B0 43, which read as GBK "21.5 掳C" (what the operator sees) and as UTF-8 "21.5 °C"' \
    <<<"$OUT" || fail "no UTF-8 finding"
  expect_lines '1 problem found'

  host check ExtCdabNoDef.dll --json --cycles 5 --param-ids 0-2 --late-ms 100
  expect_code 1
  expect_json '.library == "ExtCdabNoDef.dll" and .clean == false' \
    '[.entryPoints[] | .name] == ["ExplainParam", "ObscureParam", "EditParam"]' \
    '.entryPoints[0] | keys == (["accepted", "builtInMicrosecondsPerCall", "calls", "declined", "expectedStackBytes",
      "exportedAs", "faulted", "addressBytesPerCall", "heapBytesPerCall", "microsecondsPerCall", "name", "paramMethods",
      "stackBytesRemoved"] | sort)' \
    '.entryPoints[0] | .exportedAs == "ExplainParam@44" and .calls == 27 and .stackBytesRemoved == 44' \
    '.entryPoints[2] | .exportedAs == null and .calls == 0' \
    '.unload | .cycles == 5 and .leaks == false and .projectedLoads == null' \
    '[.findings[] | keys] | unique == [["entryPoint", "fix", "kind", "reason"]]' \
    '[.findings[] | .entryPoint + " " + .kind] == ["ExplainParam decorated-export", "ObscureParam decorated-export"]'

  # Mistakes of the user: exit code 2 and a message.
  host check
  expect_code 2
  grep -qF 'check needs an extension library' <<<"$ERR" || fail "no message about the missing library"
  host check NoSuchExtension.dll
  expect_code 2
  grep -qF "param_host: cannot load 'NoSuchExtension.dll'" <<<"$ERR" || fail "no message about the missing file"
  host check param_host.exe
  expect_code 2
  grep -qF "cannot check 'param_host.exe': it is not a DLL but a program" <<<"$ERR" || fail "no message about a program"
  host check FieldRules.ini
  expect_code 2
  [ "$(grep -oF 'FieldRules.ini' <<<"$ERR" | wc -l)" -ge 2 ] || fail "the system's message does not name the file"
  ! grep -qF '%1' <<<"$ERR" || fail "a raw insert in the message"
  host check EngineeringUnits.dll --cycles many
  expect_code 2
  host check EngineeringUnits.dll --param-ids 16-1
  expect_code 2
  grep -qF 'has a range that ends before it starts' <<<"$ERR" || fail "no message about the range"
  host check EngineeringUnits.dll --budget 0
  expect_code 2
}

trace() {
  local float="00 00 41 AC"  # 21.5 with its words swapped
  host explain --frame "$float" --param-id 1 --explain-lib ExtCdabCdecl.dll --trace
  expect_code 0
  expect_lines 'display text  "21.5 °C"' '  extension call ExplainParam:' '    field bytes   00 00 41 AC' \
    '    param id      1' '    result        accepted' \
    '    value out     32 31 2E 35 ("21.5"), zero found within 4096 bytes' \
    '    stack         unbalanced: 0 bytes of arguments removed where 44 are passed (cdecl, not __stdcall); the component repaired it' \
    '    registers     balanced'

  host explain --frame "$float" --param-id 1 --explain-lib ExtCdabUnterminated.dll --trace
  expect_lines 'display text  "21.5 °C"' \
    '    display out   32 31 2E 35 20 A1 E3 43 ("21.5 °C"), no zero within 4096 bytes'

  host explain --frame "$float" --param-id 1 --explain-lib ExtCdabUtf8.dll --trace
  expect_lines 'display text  "21.5 掳C"'
  local warning='    warning: display out holds the bytes 32 31 2E 35 20 C2 B0 43, which read as GBK "21.5 掳C" '
  grep -qF "$warning"'(what the operator sees) and as UTF-8 "21.5 °C"; write texts as GBK bytes' <<<"$OUT" ||
    fail "no UTF-8 warning"

  host explain --frame "$float" --param-id 1 --explain-lib ExtRefuse.dll --trace
  expect_lines '    result        declined (result 1): Explain uses its built-in path'
  host obscure --value 21.5 --param-id 1 --obscure-lib ExtCdabCdecl.dll --trace --json
  expect_code 0
  expect_json '.bytes == [2, 1, 5]' '.extensionCalls | length == 1' \
    '.extensionCalls[0] | .entryPoint == "ObscureParam" and .position == 6 and .paramId == 1 and .result == 0' \
    '.extensionCalls[0] | .inputs[0].hex == "32 31 2E 35" and .outputs[0].hex == "32 31 35" and .outputs[0].zeroFound' \
    '.extensionCalls[0] | .stackBytesRemoved == 0 and .stackBalanced == false and .registersBalanced'
}

# A copy of IsolatedExtension.dll running FieldRules.dll in its helper: the
# same texts, the call traced as isolated with the IParam call it made, and
# `check` checking the real library behind the copy.
isolated() {
  cp IsolatedExtension.dll IsoEndToEnd.dll
  printf '[extension]\r\nlibrary = FieldRules.dll ; the real one\r\n' >IsoEndToEnd.ini
  host explain --frame "00 00 43 7F 0D" --count 4 --param-id 4 --explain-lib IsoEndToEnd.dll --trace
  expect_code 0
  expect_lines 'display text  "25.5 ℃"' '  extension call ExplainParam:' '    result        accepted' '  GetHexEncoded'
  host explain --frame "33 3D 0D" --count 2 --param-id 8 --explain-lib IsoEndToEnd.dll --trace
  expect_lines '    reason        BCD digit above 9 in byte 2'
  grep -qE '^    isolated      run by ParamExtensionHost.exe in .*\\FieldRules.dll; its IParam calls are served from there$' \
    <<<"$OUT" || fail "the call is not shown as isolated"
  host check IsoEndToEnd.dll --cycles 2 --param-ids 4
  grep -qE '^library +.*\\FieldRules.dll$' <<<"$OUT" || fail "check did not check the real library"
  rm -f IsoEndToEnd.dll IsoEndToEnd.ini IsoEndToEnd.log
}

# FieldRules.dll with the example rules next to it (extensions/field-rules/FieldRules.ini),
# and check-rules on that file and on a broken one.
rules() {
  host explain --frame "$FRAME" --start 2 --count 4 --hex --param-id 1 --explain-lib FieldRules.dll
  expect_code 0
  expect_lines 'value text    "12.34"' 'display text  "12.34 V"' 'explain code  0'
  host explain --frame "$FRAME" --start 10 --count 4 --hex --param-id 3 --explain-lib FieldRules.dll --json
  grep -qF '"valueText":"1","bitText":"0000000100000000","displayText":"运行","explainCode":0}' <<<"$OUT" ||
    fail "JSON of the named state"
  # 255 tenths of a degree as a float (43 7F 00 00) with its words swapped, and bits 4 and 5 of a status byte.
  host explain --frame "00 00 43 7F 0D" --count 4 --param-id 4 --explain-lib FieldRules.dll
  expect_lines 'display text  "25.5 ℃"' 'explain code  0'
  host obscure --value 25.5 --param-id 4 --obscure-lib FieldRules.dll
  expect_lines 'bytes         1 1 3 2 3 9 6 5 4 4'
  host explain --frame "1F 0D" --count 1 --param-id 7 --explain-lib FieldRules.dll
  expect_lines 'value text    "1"' 'display text  "开"'
  host obscure --value 运行 --param-id 3 --obscure-lib FieldRules.dll
  expect_lines 'bytes         1'
  host obscure --value "12.34 V" --param-id 1 --int-a 5 --obscure-lib FieldRules.dll
  expect_lines 'bytes         0 1 2 3 4'

  # A DL/T 645 energy answer (documented: 0.26 kWh), a UPS Q1 reading as text, and the bit of single-bit mode.
  host explain --frame "68 61 01 00 00 00 00 68 91 08 33 33 34 33 59 33 33 33 8A 16" --start 15 --count 4 \
    --param-id 8 --explain-lib FieldRules.dll
  expect_lines 'value text    "0.26"' 'display text  "0.26 kWh"' 'explain code  0'
  host explain --frame "28 32 30 38 2E 34 20 0D" --start 2 --count 5 --param-id 9 --explain-lib FieldRules.dll
  expect_lines 'value text    "208.4"' 'display text  "208.4 V"' 'explain code  0'
  host explain --frame "01 00 0D" --count 2 --bit-mode 1 --bit-index 0 --param-id 3 --explain-lib FieldRules.dll
  expect_lines 'value text    "1"' 'display text  "运行"'
  host obscure --value 0.26 --param-id 8 --obscure-lib FieldRules.dll
  expect_lines 'bytes         2 6'

  host check-rules FieldRules.ini
  expect_code 0
  expect_lines 'FieldRules.ini: read as UTF-8' 'no problems' \
    '[3] (line 26) field 00 00 -> value text "0", display text "停止", explain code 0; Obscure "0" -> digits 0' \
    '[8] (line 49) field 67 45 -> value text "12.34", display text "12.34 kWh", explain code 0; Obscure "12.34" -> digits 1234' \
    '[9] (line 57) field 32 32 30 -> value text "220", display text "220 V", explain code 0; Obscure "220" -> digits 220'

  # The new types and keys: one example each, and the warning where decimals drop digits of the scale.
  local protocols=../check-rules-test/protocols.ini
  mkdir -p ../check-rules-test
  printf '%s\n' '[1]' 'type = sbcd' 'order = DCBA' 'bias = 0x33' 'scale = 0.001' '[2]' 'type = time' \
    'layout = YY MM DD WW' 'order = DCBA' 'bias = 0x33' '[3]' 'type = u16' 'flags = 2:欠压, 4:反向' 'alarms = 2' \
    '[4]' 'type = text' '[5]' 'type = u32' 'format = hex' '[6]' 'type = u16' 'scale = 0.001' 'decimals = 2' >"$protocols"
  host check-rules "$protocols"
  expect_code 0
  expect_lines "$protocols:23: warning: decimals = 2 drops digits of the scale or offset (3 needed): Obscure cannot always go back to the raw number" \
    '[1] (line 1) field 67 C5 -> value text "-1.234", display text "-1.234", explain code 0; Obscure "-1.234" -> declined' \
    '[2] (line 6) field 34 53 38 57 -> value text "2024-05-20", display text "2024-05-20", explain code 0; Obscure "2024-05-20" -> digits 24052001' \
    '[3] (line 11) field 00 04 -> value text "4", display text "欠压", explain code 1; Obscure "4" -> digits 4' \
    '[4] (line 15) field 55 50 53 2D 33 30 30 30 -> value text "UPS-3000", display text "UPS-3000", explain code 0; Obscure "UPS-3000" -> declined' \
    '[5] (line 17) field 00 00 04 D2 -> value text "000004D2", display text "000004D2", explain code 0; Obscure "000004D2" -> digits 1234' \
    'no problems'
  host check-rules "$protocols" --json
  grep -qF '"warnings":[{"line":23,"reason":"decimals = 2 drops digits' <<<"$OUT" || fail "JSON of the warnings"

  local broken=../check-rules-test/broken.ini
  mkdir -p ../check-rules-test
  printf '[1]\ntype = u17\n[2]\ntype = u16\nnames = 0:停止, 1 运行\n[7]\ntype = u8\nmask = 0x30\nnames = 1:开\n' |
    iconv -t GBK >"$broken"
  host check-rules "$broken"
  expect_code 1
  expect_lines "$broken: read as ANSI code page 936" \
    "$broken:2: unknown type 'u17': use u8, s8, u16, s16, u32, s32, u64, s64, f32, f64, bcd, sbcd, ascii, text or time" \
    "$broken:5: names: '1 运行' is not 'value:name' (e.g. 0:stopped, 1:running)" \
    "[1] (line 1) declines: the component's built-in path explains it" \
    '[7] (line 6) field 10 -> value text "1", display text "开", explain code 0; Obscure "1" -> digits 16' \
    '2 problems'
  host check-rules "$broken" --json
  expect_code 1
  grep -qF '"problems":[{"line":2,"reason":"unknown type '"'u17'"': use' <<<"$OUT" || fail "JSON of the problems"
  grep -qF '{"paramId":2,"line":3,"declines":true,"example":null}' <<<"$OUT" || fail "JSON of a declining section"
  grep -qF '"example":{"field":"10","valueText":"1","displayText":"开","explainCode":0,"digits":"16"}' <<<"$OUT" ||
    fail "JSON of an example"
  rm -r ../check-rules-test

  # Why a rule declined, worked out by param_host: a bcd digit above 9 (3D less the bias 33 is 0A), a reading
  # that is no number, a parameter without a section.
  host explain --frame "33 3D 0D" --count 2 --param-id 8 --explain-lib FieldRules.dll --trace
  expect_lines '    reason        BCD digit above 9 in byte 2'
  host explain --frame "28 31 32 61 0D" --start 2 --count 3 --param-id 9 --explain-lib FieldRules.dll --trace --json
  expect_json '.extensionCalls[0].declineReason == "not a number: '"'12a'"'"'
  host explain --frame "01 0D" --count 1 --param-id 99 --explain-lib FieldRules.dll --trace
  grep -qE '^    reason        no section \[99\] in .*FieldRules\.ini$' <<<"$OUT" || fail "reason of a missing section"

  # A whole frame against the sections that place their fields in it: a SunSpec current with its scale factor
  # 4 registers on (15.10 A), the same registers as a plain u16, and a bcd byte that declines.
  local framed=../check-rules-frame/framed.ini
  mkdir -p ../check-rules-frame
  printf '%s\n' '[1]' 'type = u16' 'scale_exponent_at = 8' 'unit = A' 'markers = 0xFFFF:未实现' 'start = 1' \
    'count = 10' '[2]' 'type = u16' 'scale = 0.1' 'start = 3' 'count = 2' '[3]' 'type = bcd' 'start = 11' 'count = 1' \
    '[4]' 'type = u16' 'start = 12' 'count = 4' 'hex = yes' >"$framed"
  host check-rules "$framed" --frame "05 E6 FF FF FF FF FF FF FF FE 1A 30 30 46 46"
  expect_code 1
  expect_lines 'frame [1] bytes 1 to 10: field 05 E6 FF FF FF FF FF FF FF FE -> value text "15.10", display text "15.10 A", explain code 0' \
    'frame [2] bytes 3 to 4: field FF FF -> value text "6553.5", display text "6553.5", explain code 0' \
    'frame [3] bytes 11 to 11: declines: BCD digit above 9 in byte 1' \
    'frame [4] bytes 12 to 15 (hex): field 30 30 46 46 -> value text "255", display text "255", explain code 0' \
    'no problems in the rules; 1 frame field declines'
  host check-rules "$framed" --frame "05 E6" --json
  expect_json '.frame[0].declineReason == "bytes 1 to 10 are beyond the frame'"'"'s 2 bytes"' \
    '.frame[1] | .valueText == null and .field == "" and .declineReason != null' '.frameDeclines == 4'
  # The new keys' problems, and the warning of a default scale exponent.
  printf '%s\n' '[1]' 'type = u8' 'mask = 0x0F' 'markers = 0x1F:无效' '[2]' 'type = time' 'layout = YY MM DD' \
    'bits = 8 4 4' '[3]' 'type = u16' 'scale_exponent_at = 2' 'scale_exponent = -2' >"$framed"
  host check-rules "$framed"
  expect_code 1
  expect_lines "$framed:4: markers: 0x1F is no raw number of u8 (4 bits)" \
    "$framed:8: bits: 4 bits cannot hold every DD (it needs 5)" \
    "$framed:12: warning: scale_exponent is only Obscure's guess: when the device changes its factor, Obscure sends a value wrong by a power of ten" \
    '[3] (line 9) field 04 D2 FF FE -> value text "12.34", display text "12.34", explain code 0; Obscure "12.34" -> digits 1234'
  # Keys refused where they cannot work, markers Obscure could not tell apart, and check-rules' own keys: a bad
  # value is a problem but leaves the rule working, one of start and count alone a warning, a place near INT32_MAX.
  printf '%s\n' '[1]' 'type = bcd' 'scale_exponent_at = 2' '[2]' 'type = ascii' 'scale_exponent_at = 2' '[3]' \
    'type = u16' 'markers = 0xFFFF:0' '[4]' 'type = u8' 'flags = 0:正常' 'markers = 0xFF:正常' '[5]' 'type = s16' \
    'markers = 0x8000:未实现, -32768:重复' '[6]' 'type = bcd' 'markers = 9999:无效' '[7]' 'type = u16' 'hex = maybe' \
    'start = 3' '[8]' 'type = u16' 'start = 2147483647' 'count = 2147483647' '[9]' 'type = time' 'layout = hh mm' \
    'bits = 5 32' 'start = 1' 'count = 8' >"$framed"
  host check-rules "$framed" --frame "57 FF FF FF F8 00 00 00"
  expect_code 1
  expect_lines "$framed:3: scale_exponent_at applies to the integer types u8 to s64, not to bcd" \
    "$framed:6: scale_exponent_at applies to the integer types u8 to s64, not to ascii" \
    "$framed:9: markers: a marker's name reads as a number, a flag name or none's text, so Obscure could not tell them apart: give it another name" \
    "$framed:13: markers: a marker's name reads as a number, a flag name or none's text, so Obscure could not tell them apart: give it another name" \
    "$framed:16: markers: the raw number 0x8000 is given twice" \
    "$framed:19: warning: markers: 9999, written in decimal, is the bytes 0x270F, which hold no bcd digits: did you mean 0x9999?" \
    "$framed:22: hex 'maybe' is unknown: use no or yes" \
    "$framed:23: warning: start without count: check-rules --frame skips the section" \
    '[7] (line 20) field 04 D2 -> value text "1234", display text "1234", explain code 0; Obscure "1234" -> digits 1234' \
    "frame [8] bytes 2147483647 to 4294967293: declines: bytes 2147483647 to 4294967293 are beyond the frame's 8 bytes" \
    'frame [9] bytes 1 to 8: declines: minute 4294967295' \
    '6 problems; 2 frame fields decline'
  rm -r ../check-rules-frame

  # The worked rules files of the documentation against the protocols' documented answers.
  host check-rules ../../examples/field-rules/modbus-inverter.ini --frame "0000 0000 0000 0000 FFFE 0F7D 0F71 0F7B \
    08F0 08EC 08ED FFFF 0000 0000 1386 FFFE 0000 0000 0000 0000 0000 0000 003C 2314 0000 0000 0000 0010 FFFF 0000 \
    0000 8000 0F57 8000 8000 FFFE"
  expect_code 0
  expect_lines 'frame [2] bytes 17 to 24: field 08 F0 08 EC 08 ED FF FF -> value text "228.8", display text "228.8 V", explain code 0' \
    'frame [5] bytes 63 to 72: field 80 00 0F 57 80 00 80 00 FF FE -> value text "未实现", display text "未实现", explain code 2'
  host check-rules ../../examples/field-rules/ascii-inverter.ini --frame "$(printf '%s' \
    '(000.0 00.0 230.0 49.9 0161 0119 003 460 57.50 012 100 0069 0014 103.8 57.45 00000 00110110 00 00 00856 010' |
    od -An -tx1 | tr -d '\n')"
  expect_code 0
  expect_lines 'frame [6] bytes 84 to 91: field 30 30 31 31 30 31 31 30 -> value text "54", display text "太阳能充电、充电中、负载开、控制器固件已更新", explain code 0' \
    '[7] (line 45) field 34 30 -> value text "40", display text "40 A", explain code 0; Obscure "40" -> digits 040'

  host check-rules NoSuchRules.ini
  expect_code 2
  grep -qxF "param_host: check-rules: cannot open 'NoSuchRules.ini' (missing or unreadable)" <<<"$ERR" ||
    fail "missing rules file message"
}

"$OPERATION"
[ "$failures" -eq 0 ] && echo "param_host $OPERATION: all checks passed"
exit "$failures"
