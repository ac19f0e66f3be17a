# Sourced by the scripts that run Windows programs: one Wine prefix per build
# tree, a 32-bit one, and the operators' Chinese locale (code page 936).
# Expects BUILD_DIR to be set.
export WINEPREFIX="${BUILD_DIR}/wineprefix"
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
