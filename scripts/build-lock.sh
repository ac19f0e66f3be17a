# Sourced: build steps of the scripts that may run at the same time in one
# tree take turns, so that two `cmake --build` never race on one file.
#   with_build_lock <build dir> <command...>
with_build_lock() {
  local build_dir=$1
  shift
  mkdir -p "$build_dir"
  (
    if ! flock -n 9; then
      echo "build: waiting for another build of $build_dir" >&2
      flock 9
    fi
    "$@"
  ) 9>"$build_dir/.build.lock"
}
