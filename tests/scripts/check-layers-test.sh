#!/usr/bin/env bash
# scripts/check-layers.sh passes the real tree and finds what goes the wrong
# way in a planted one: an include from a higher layer, an include that
# climbs out of its folder, and a layer using one declared after it; among
# param_host's families, an include from a family above, by folder or by
# bare name, and one from the program's own folder.
#   check-layers-test.sh <repository root>
set -euo pipefail
ROOT=$(cd "${1:?usage: check-layers-test.sh <repository root>}" && pwd)
CHECK="$ROOT/scripts/check-layers.sh"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

"$CHECK" "$ROOT" >/dev/null || fail "the real tree does not pass: $("$CHECK" "$ROOT")"

planted=$(mktemp -d)
trap 'rm -rf "$planted"' EXIT
mkdir -p "$planted/src/util" "$planted/src/frame"
sed 's/add_layer(ovix_guard guard USES ovix_util)/add_layer(ovix_guard guard USES ovix_errors)/' \
  "$ROOT/src/CMakeLists.txt" > "$planted/src/CMakeLists.txt"
printf '#include "util/Trim.h"\n#include "frame/ComObject.h"\n#include "../dialog/ModalLoop.h"\n' \
  > "$planted/src/util/Upward.cpp"
host=tools/param-host
mkdir -p "$planted/$host/common" "$planted/$host/rules" "$planted/$host/check" "$planted/$host/run"
cp "$ROOT/$host/CMakeLists.txt" "$planted/$host/"
touch "$planted/$host/HelpText.h" "$planted/$host/rules/RulesReport.h" "$planted/$host/run/Outcome.h"
printf '#include "common/HostFailure.h"\n#include "run/Outcome.h"\n#include "HelpText.h"\n' \
  > "$planted/$host/common/Upward.cpp"
printf '#include "RulesReport.h"\n#include "Outcome.h"\n' > "$planted/$host/check/Bare.cpp"

status=0
report=$("$CHECK" "$planted") || status=$?
[ "$status" -eq 1 ] || fail "exit status $status for the planted tree, expected 1"
for expected in 'src/util/Upward.cpp:2: layer util includes "frame/ComObject.h"' \
                'src/util/Upward.cpp:3: #include "../dialog/ModalLoop.h" climbs out' \
                'layer ovix_guard uses ovix_errors, which is not a layer declared before it' \
                "$host/common/Upward.cpp:2: layer common includes \"run/Outcome.h\" from layer run" \
                "$host/common/Upward.cpp:3: layer common includes \"HelpText.h\" from the program's own folder" \
                "$host/check/Bare.cpp:2: layer check includes \"Outcome.h\" from layer run"; do
  grep -qF "$expected" <<< "$report" || fail "no report of: $expected"$'\n'"$report"
done
grep -q 'Upward.cpp:1:' <<< "$report" && fail "the include from its own layer was reported"
grep -q 'Bare.cpp:1:' <<< "$report" && fail "the bare include from a family below was reported"
[ "$failures" -eq 0 ] && echo "check-layers: all cases passed"
[ "$failures" -eq 0 ]
