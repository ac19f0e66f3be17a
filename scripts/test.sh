#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test program under Wine, one
# more at a time than there are cores, with a virtual display for the tests
# that open windows; at the end, the five slowest tests.
# Extra arguments go to ctest (e.g. -R explain).
# It runs in a copy of the build's prefix of its own (build/prefixes/test),
# so that demo.sh and stress.sh can run beside it in the same tree; two test
# runs of one tree take turns.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)

# The run holds build/.test.lock through flock, closed in what it starts (a
# Wine service that outlived a run would otherwise hold it on). This script
# stays the run's parent: flock does not pass signals on, so a signal to this
# script is handed to the run, which then ends what it started and lets go of
# the lock. Were it flock's PID that a user stops, the run would go on
# without the lock and a second run would take the same prefix copy.
if [ -z "${OVIX_TEST_LOCK_HELD:-}" ]; then
  mkdir -p "$ROOT/build"
  flock -n "$ROOT/build/.test.lock" true || echo "test: waiting for another test run of this tree" >&2
  OVIX_TEST_LOCK_HELD=1 flock --close "$ROOT/build/.test.lock" "$0" "$@" &
  holder=$!
  trap 'pkill -TERM -P "$holder" 2>/dev/null' TERM INT HUP
  status=0
  wait "$holder" || status=$?
  # A signal ends the wait early; the run's own status comes after it.
  while kill -0 "$holder" 2>/dev/null; do status=0; wait "$holder" || status=$?; done
  exit "$status"
fi

"$ROOT/scripts/build.sh"

BUILD_DIR="$ROOT/build"
source "$ROOT/scripts/wine-env.sh"
source "$ROOT/scripts/build-lock.sh"
source "$ROOT/scripts/prefix-copy.sh"
source "$ROOT/scripts/display.sh"

use_prefix_copy test
# A run stopped by a signal ends CTest before the Wine server: programs
# that lose their server end with status 0, and CTest would report the
# tests then running as passed.
trap 'pkill -KILL -x ctest -P $$ 2>/dev/null || true; stop_display; end_prefix_copy' EXIT
start_display

# One wineserver for the whole run, started with this run's display (the
# desktop of a prefix belongs to the display its first window program had);
# its helper processes must not inherit CTest's pipes.
wineserver -k >/dev/null 2>&1 || true
wineserver -p
wine wineboot </dev/null >/dev/null 2>&1 || true
# The run's server, to tell afterwards whether it died during the run.
run_server() {
  local process
  for process in /proc/[0-9]*; do
    case "$(cat "$process/comm" 2>/dev/null)" in wineserver*) ;; *) continue ;; esac
    { tr '\0' '\n' <"$process/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "${process#/proc/}"
  done | head -1
}
server=$(run_server)

# One test more than there are cores: about half of a test's time is spent
# waiting (on its child processes, a time limit it checks, Wine starting a
# program), and the extra test fills that. Timing-sensitive tests run alone
# (RUN_SERIAL) all the same.
JOBS=$(($(nproc) + 1))
cd "$BUILD_DIR"
log=$(mktemp)
set +e
ctest --output-on-failure -j"$JOBS" "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
# Wine 8.0's server itself sometimes crashes (SIGSEGV inside wineserver) on
# a busy machine, and takes down the programs of every test then running.
# That is Wine's fault, not the project's: the failed tests run once more on
# a new server, and the run says so.
# The crash's message may reach the run's output outside CTest's, so the
# server itself is looked for too.
if [ "$status" -ne 0 ] && { grep -q 'wineserver crashed' "$log" || [ "$(run_server)" != "$server" ]; }; then
  echo "test: the Wine server crashed during the run; the failed tests run once more on a new server"
  wineserver -k >/dev/null 2>&1
  wineserver -p
  wine wineboot </dev/null >/dev/null 2>&1
  ctest --output-on-failure -j"$JOBS" --rerun-failed 2>&1 | tee -a "$log"
  status=${PIPESTATUS[0]}
fi
set -e
# "  3/45 Test  #7: name ......   Passed   12.34 sec"
slowest=$(sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .* \([0-9.]*\) sec$/\2 \1/p' "$log" | sort -rn | head -5)
if [ -n "$slowest" ]; then
  echo "The five slowest tests:"
  awk '{ printf "  %8.1f s  %s\n", $1, $2 }' <<<"$slowest"
fi
rm -f "$log"
exit "$status"
