#!/usr/bin/env bash
# Sets up the machine, builds, and runs the stress program under Wine:
#
#   scripts/stress.sh SEED SECONDS      random calls from SEED for SECONDS seconds
#   scripts/stress.sh SEED --cases N    the first N cases of SEED (replays a run)
#   scripts/stress.sh SEED --only K     case K of SEED alone, described
#
# Further options go to the program (--heap-every N, --json). It prints its
# progress every ten seconds and a summary; a finding is printed with its case
# and the commands that replay it, and the exit status is 1.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 2 ]; then
  echo "usage: scripts/stress.sh SEED SECONDS | SEED --cases N | SEED --only K  (e.g. scripts/stress.sh 42 600)" >&2
  exit 2
fi
"$ROOT/scripts/build.sh" >/dev/null

BUILD_DIR="$ROOT/build"
source "$ROOT/scripts/wine-env.sh"
source "$ROOT/scripts/build-lock.sh"
source "$ROOT/scripts/prefix-copy.sh"
# A prefix of its own, so that test and demo runs can go on beside it.
use_prefix_copy "stress-$$"
trap end_prefix_copy EXIT

cd "$BUILD_DIR/bin"
wine transactor_stress.exe "$@"
