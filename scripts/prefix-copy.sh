# Sourced after wine-env.sh and build-lock.sh: gives a script a copy of the
# build's Wine prefix of its own (see wine-env.sh for why).
#   use_prefix_copy NAME   runs this script's programs in BUILD_DIR/prefixes/NAME
#   end_prefix_copy        ends the copy's wineserver; a copy named for this
#                          process only (NAME with its PID) is removed too
# A copy is made again when the build's prefix was prepared after it.
use_prefix_copy() {
  local main="$BUILD_DIR/wineprefix" copy="$BUILD_DIR/prefixes/$1"
  with_build_lock "$BUILD_DIR" bash -c "$(declare -f remove_abandoned_copies refresh_prefix_copy)
    remove_abandoned_copies \"\$1\"; refresh_prefix_copy \"\$@\"" _ "$main" "$copy"
  export OVIX_PREFIX_COPY="$copy" OVIX_PREFIX_COPY_OF="$BUILD_DIR" WINEPREFIX="$copy"
}

# A copy named for a process that is gone (its script was killed before it
# could clean up) is ended and removed: each holds some 600 MB.
remove_abandoned_copies() {
  local copy pid
  for copy in "$(dirname "$1")"/prefixes/*-[0-9]*; do
    [ -d "$copy" ] || continue
    pid=${copy##*-}
    [ -d "/proc/$pid" ] && continue
    WINEPREFIX="$copy" wineserver -k >/dev/null 2>&1
    rm -rf "$copy"
  done
}

refresh_prefix_copy() {
  local main=$1 copy=$2
  if [ -f "$copy/.prepared" ] && ! [ "$main/.prepared" -nt "$copy/.prepared" ]; then return 0; fi
  [ -f "$main/.prepared" ] || { echo "prefix: $main is not prepared (run scripts/build.sh)" >&2; return 1; }
  # A stale copy's server holds files of it: end it before replacing them.
  [ -d "$copy" ] && WINEPREFIX="$copy" wineserver -k >/dev/null 2>&1
  rm -rf "$copy" "$copy.partial"
  mkdir -p "$(dirname "$copy")"
  cp -a --reflink=auto "$main" "$copy.partial"
  mv "$copy.partial" "$copy"
}

end_prefix_copy() {
  [ -n "${OVIX_PREFIX_COPY:-}" ] || return 0
  WINEPREFIX="$OVIX_PREFIX_COPY" wineserver -k >/dev/null 2>&1 || true
  # A program or service whose server died is out of the server's reach:
  # end whatever still runs in the copy.
  local process
  for process in /proc/[0-9]*; do
    { tr '\0' '\n' <"$process/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$OVIX_PREFIX_COPY" &&
      kill -9 "${process#/proc/}" 2>/dev/null
  done
  case "$OVIX_PREFIX_COPY" in
    *-"$$") WINEPREFIX="$OVIX_PREFIX_COPY" wineserver -w >/dev/null 2>&1 || true
            rm -rf "$OVIX_PREFIX_COPY" ;;
  esac
}
