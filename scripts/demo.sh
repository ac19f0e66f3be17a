#!/usr/bin/env bash
# The main job: sets up the machine, builds, and shows the component at work
# under Wine. param_host plays the host: it creates the component through COM
# by its ProgID, hands it a parameter object and prints what the host sees.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/build.sh"
BUILD_DIR="$ROOT/build"
source "$ROOT/scripts/wine-env.sh"
source "$ROOT/scripts/build-lock.sh"
source "$ROOT/scripts/prefix-copy.sh"
# A prefix of its own, so that test and stress runs can go on beside it.
use_prefix_copy "demo-$$"
trap end_prefix_copy EXIT
cd "$BUILD_DIR/bin"

# A frame from a device: a start byte, three fields of four ASCII hex digits
# each (low byte first) and an end byte:
#   bytes 2-5 bus voltage "D204", 6-9 output current "83FF", 10-13 state "0100".
FRAME="7E 44 32 30 34 38 33 46 46 30 31 30 30 0D"

# Prints a step's title and command, then runs it.
show() {
  local title=$1 argument command="param_host"
  shift
  for argument in "$@"; do
    case "$argument" in *" "*) command+=" \"$argument\"" ;; *) command+=" $argument" ;; esac
  done
  printf '\n== %s\n$ %s\n' "$title" "$command"
  wine param_host.exe "$@" </dev/null
}

show "The voltage field, explained by the component alone: hex text and bits" \
  explain --frame "$FRAME" --start 2 --count 4 --hex
show "The same field with the sample extension (examples/engineering-units)" \
  explain --frame "$FRAME" --start 2 --count 4 --hex --param-id 1 --explain-lib EngineeringUnits.dll

printf '\n== Rules instead of code: FieldRules.dll reads FieldRules.ini, sections [1] and [3]:\n'
sed -n '/^\[1\]/,/^max/p;/^\[3\]/,/^names/p' FieldRules.ini
show "The voltage field decoded by the rules file: the sample's result, without code" \
  explain --frame "$FRAME" --start 2 --count 4 --hex --param-id 1 --explain-lib FieldRules.dll

show "The state field with the sample extension: an enumerated name" \
  explain --frame "$FRAME" --start 10 --count 4 --hex --param-id 3 --explain-lib EngineeringUnits.dll
show "The state field decoded by the rules file" \
  explain --frame "$FRAME" --start 10 --count 4 --hex --param-id 3 --explain-lib FieldRules.dll
show "The rules file checked: problems with their lines, one decoded example per section" \
  check-rules FieldRules.ini
show "A value obscured by the sample extension: the digits the host sends" \
  obscure --value 12.34 --param-id 1 --int-a 5 --obscure-lib EngineeringUnits.dll
show "The same request as the host's program would read it (--json)" \
  obscure --value 12.34 --param-id 1 --int-a 5 --obscure-lib EngineeringUnits.dll --json
