#!/usr/bin/env bash
# Every param_host example in docs/ prints what the page says it prints. An
# example is a fenced block of kind `console`: a line "$ scripts/param-host.sh
# …" (continued by a trailing backslash), then the lines it prints. In an
# expected line, "..." stands for any text (a path, a time). A comment line
# right before the fence marks a block:
#   <!-- example: exit N -->   its commands end with exit status N (else 0)
#   <!-- example: display -->  its commands need an operator at a dialog: not run
# Other commands in such blocks (scripts/test.sh …) are shown, not run.
# Each runs from the repository's root, as a reader types it.
#   docs-examples-test.sh <build dir> <source dir>
set -uo pipefail
BUILD_DIR=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
export BUILD_DIR
# Seconds one example may take (the slowest, a default check, takes about 10).
EXAMPLE_TIMEOUT=60
OUTPUT=$(mktemp)
trap 'rm -f "$OUTPUT"' EXIT

failures=0 examples=0 not_run=0

# Whether an output line matches an expected one, "..." matching any text.
line_matches() {
  local actual=$1 expected=$2 pattern="" rest=$2
  while [[ $rest == *...* ]]; do
    pattern+=$(printf '%q' "${rest%%...*}")'*'
    rest=${rest#*...}
  done
  pattern+=$(printf '%q' "$rest")
  # shellcheck disable=SC2053 # the pattern is meant to match as a glob
  eval "[[ \$actual == $pattern ]]"
}

# Runs one example and compares; $1 file:line, $2 command, $3 expected lines, $4 exit status.
check_example() {
  local where=$1 command=$2 expected=$3 status=$4 actual code
  examples=$((examples + 1))
  local started=$SECONDS
  # What it prints goes to a file, not a pipe: a process it leaves behind
  # (a Wine service) cannot then hold the test. An example that hangs is
  # ended and reported by name, not left to the test's timeout.
  (cd "$SOURCE" && eval "timeout -k 5 $EXAMPLE_TIMEOUT $SOURCE/${command}" </dev/null >"$OUTPUT" 2>&1)
  code=$?
  echo "$where: $((SECONDS - started)) s"
  actual=$(tr -d '\r' <"$OUTPUT")
  local -a want got
  mapfile -t want <<<"$expected"
  mapfile -t got <<<"$actual"
  local problem=""
  if [ "$code" = 124 ] && [ "$status" != 124 ]; then
    problem="did not end within $EXAMPLE_TIMEOUT s"
  elif [ "$code" != "$status" ]; then
    problem="exit status $code, the page says $status"
  elif [ "${#want[@]}" != "${#got[@]}" ]; then
    problem="${#got[@]} lines printed, the page shows ${#want[@]}"
  else
    local i
    for i in "${!want[@]}"; do
      line_matches "${got[$i]}" "${want[$i]}" || { problem="line $((i + 1)) differs"; break; }
    done
  fi
  if [ -n "$problem" ]; then
    failures=$((failures + 1))
    printf '\nFAILED: %s: $ %s\n  %s\n--- the page shows:\n%s\n--- printed:\n%s\n' \
      "$where" "$command" "$problem" "$expected" "$actual"
  fi
}

for page in "$SOURCE"/docs/*.md; do
  name=${page#"$SOURCE"/}
  number=0 in_block=0 marker="" status=0 command="" command_line=0 expected="" continued=0
  flush() {
    if [ -n "$command" ]; then
      if [ "$marker" = display ]; then
        not_run=$((not_run + 1))
      else
        check_example "$name:$command_line" "$command" "$expected" "$status"
      fi
    fi
    command="" expected=""
  }
  while IFS= read -r line || [ -n "$line" ]; do
    number=$((number + 1))
    if [ "$in_block" = 0 ]; then
      case "$line" in
        '<!-- example: display -->') marker=display ;;
        '<!-- example: exit '*' -->') marker=exit status=${line#<!-- example: exit }; status=${status% -->} ;;
        '```console') in_block=1 ;;
        *) [ -n "$line" ] && marker="" status=0 ;;
      esac
      continue
    fi
    if [ "$line" = '```' ]; then
      flush
      in_block=0 marker="" status=0
      continue
    fi
    if [ "$continued" = 1 ]; then
      command="${command%\\} ${line#"${line%%[! ]*}"}"
      [[ $line == *\\ ]] || continued=0
      continue
    fi
    case "$line" in
      '$ scripts/param-host.sh '*)
        flush
        command=${line#\$ } command_line=$number
        [[ $line == *\\ ]] && continued=1 ;;
      '$ '*) flush ;;
      *) [ -n "$command" ] && expected+="${expected:+$'\n'}$line" ;;
    esac
  done <"$page"
done
echo "$examples examples run, $not_run not run (they need a display), $failures failed"
[ "$examples" -gt 0 ] && [ "$failures" -eq 0 ]
