# Sourced by the tests that play a station in a fresh Wine prefix: the
# component's identifiers, and checks that run a command, keep what it said
# and count what failed (each failure printed with the command, its exit
# code and its output).

CLSID='{05EA5679-AF5C-4E18-8322-4C47A266B1F1}'
PROGID='OvixParamTransactor.ParamTransactor'
LIBID='{BA3E56B4-1936-466D-BF12-1B9F42F2E5F4}'

failures=0
OUT="" CODE=0 RUN=""

# Makes WINEPREFIX a freshly installed computer: a copy of the prefix that a
# first wineboot makes, kept per build tree in prefixes/fresh (made again when
# Wine is another version), since copying it takes a fraction of a boot.
#   fresh_station_prefix <build dir>
fresh_station_prefix() {
  local template="$1/prefixes/fresh" version
  version=$(wine --version 2>/dev/null)
  mkdir -p "$1/prefixes"
  (
    flock 9
    if [ "$(cat "$template/.wine-version" 2>/dev/null)" != "$version" ]; then
      rm -rf "$template"
      WINEPREFIX="$template" wineboot -i </dev/null >/dev/null 2>&1
      WINEPREFIX="$template" wineserver -w
      echo "$version" >"$template/.wine-version"
    fi
  ) 9>"$1/prefixes/.fresh.lock"
  wineserver -k 2>/dev/null  # a server left by an earlier run holds the old prefix
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  cp -a --reflink=auto "$template" "$WINEPREFIX"
}
fail() {
  printf '\n$ %s (exit code %s)\n%s\nFAILED: %s\n' "$RUN" "$CODE" "$OUT" "$1"
  failures=$((failures + 1))
}
# Runs a command; keeps its output (stdout and stderr, without CRs) and exit code.
run() {
  RUN="$*"
  OUT=$("$@" </dev/null 2>&1 | tr -d '\r')
  CODE=${PIPESTATUS[0]}
}
expect_code() { [ "$CODE" -eq "$1" ] || fail "expected exit code $1"; }
expect_text() { grep -qF -- "$1" <<<"$OUT" || fail "expected the text: $1"; }

# Fails for every identifier of the component (and any further text given)
# still found in the prefix's registry files.
expect_no_registry_entries() {
  wineserver -w
  local id
  for id in "$CLSID" "$PROGID" "$LIBID" "$@"; do
    if grep -qiF -- "$id" "$WINEPREFIX"/*.reg; then
      OUT=$(grep -iF -B2 -A2 -- "$id" "$WINEPREFIX"/*.reg | head -20)
      RUN="grep $id $WINEPREFIX/*.reg"
      fail "entries of $id are left behind"
    fi
  done
}

# Ends the test: its exit status, and the station's folder removed when all passed.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  rm -rf "$STATION"
  echo "$1: ok"
}
