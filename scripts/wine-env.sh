# Sourced by the scripts that run Windows programs: one Wine prefix per build
# tree, a 32-bit one, and the operators' Chinese locale (code page 936).
# Expects BUILD_DIR to be set.
#
# A script that may run beside others in one tree (test.sh, demo.sh,
# stress.sh) runs its programs in a copy of the build's prefix
# (use_prefix_copy in prefix-copy.sh): a wineserver of its own, started with
# its own display or none, which it can end without ending anybody else's
# programs. The copy is tied to the build tree it was made for, so that what
# the script starts for that tree (CTest's wine-run.sh, the tests' scripts)
# runs in it too, while a test that plays a station in a fresh prefix of its
# own (another BUILD_DIR) does not.
# The tree is compared by its physical path: CMake hands the tests the build
# folder with symbolic links resolved, the scripts name it as it was typed.
same_build_tree() {
  [ "$1" = "$2" ] || [ "$(cd "$1" 2>/dev/null && pwd -P)" = "$(cd "$2" 2>/dev/null && pwd -P)" ]
}
if [ -n "${OVIX_PREFIX_COPY:-}" ] && [ -n "${OVIX_PREFIX_COPY_OF:-}" ] &&
   same_build_tree "$OVIX_PREFIX_COPY_OF" "$BUILD_DIR"; then
  export WINEPREFIX="$OVIX_PREFIX_COPY"
else
  export WINEPREFIX="${BUILD_DIR}/wineprefix"
fi
# A test that changes what every other test relies on in the prefix
# (registers and unregisters the component or the host's type library,
# deletes the component's ProgID) runs in a fresh copy of its own: CTest
# sets OVIX_OWN_PREFIX to a name for it, so that the tests beside it still
# find the component registered. What it starts in turn uses the same copy.
if [ -n "${OVIX_OWN_PREFIX:-}" ]; then
  own_prefix="$BUILD_DIR/prefixes/own-$OVIX_OWN_PREFIX"
  WINEPREFIX="$own_prefix" wineserver -k >/dev/null 2>&1
  rm -rf "$own_prefix"
  mkdir -p "$BUILD_DIR/prefixes"
  cp -a --reflink=auto "$WINEPREFIX" "$own_prefix"
  export OVIX_PREFIX_COPY="$own_prefix" OVIX_PREFIX_COPY_OF="$BUILD_DIR" WINEPREFIX="$own_prefix"
  unset OVIX_OWN_PREFIX own_prefix
fi
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8

# Makes a program that crashes in the prefix end at once with its exception
# code. Wine's default starts its debugger (winedbg --auto), whose crash
# window holds the program until someone closes it: on a display without an
# operator, until the test's timeout. With no debugger to start, the
# unhandled exception ends the process. To be run after wineboot, which puts
# the default back when it updates the prefix.
end_crashes_at_once() {
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
    </dev/null >/dev/null
}
