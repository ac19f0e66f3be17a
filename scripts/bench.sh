#!/usr/bin/env bash
# Sets up the machine, builds, and runs the benchmark under Wine. It prints
# ratios between the costs of Explain and Obscure cases, each against its
# goal. Extra arguments go to the benchmark: milliseconds per batch and
# rounds (e.g. scripts/bench.sh 0.05 801).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/build.sh"

BUILD_DIR="$ROOT/build"
source "$ROOT/scripts/wine-env.sh"

# The ratios are measured on the cores: other Windows programs of this tree
# (a test or stress run, a demo) take them too. It runs all the same, but
# says so.
# Only Windows programs count, and not Wine's own services (which idle):
# this script's own commands carry the prefix in their environment too.
other_programs=$(
  for process in /proc/[0-9]*; do
    name=$({ tr '\0' '\n' <"$process/cmdline"; } 2>/dev/null | head -1) || continue
    case "${name,,}" in c:\\windows\\*) continue ;; *.exe) name=${name##*[\\/]} ;; *) continue ;; esac
    if { tr '\0' '\n' <"$process/environ"; } 2>/dev/null | grep -q "^WINEPREFIX=$BUILD_DIR/"; then
      echo "$name"
    fi
  done | sort | uniq -c | awk '{ printf "%s%s x%s", (NR > 1 ? ", " : ""), $2, $1 }')
if [ -n "$other_programs" ]; then
  echo "bench: other Wine programs of this tree are running ($other_programs):" \
    "the figures are only meaningful when the benchmark runs alone" >&2
fi

cd "$BUILD_DIR/bin"
wine transactor_bench.exe "$@"
