# Sourced: build steps of the scripts that may run at the same time in one
# tree take turns, so that two `cmake --build` never race on one file.
#   with_build_lock <build dir> <program> [arguments...]
# The lock is held by flock itself and closed in the program it runs
# (--close): a Wine server or service that a build step starts, and that
# outlives it, would otherwise hold the lock on.
with_build_lock() {
  local lock="$1/.build.lock"
  shift
  mkdir -p "$(dirname "$lock")"
  flock -n "$lock" true || echo "build: waiting for another build of $(dirname "$lock")" >&2
  flock --close "$lock" "$@"
}
