# Sourced by the scripts that run Windows programs: one Wine prefix per build
# tree, a 32-bit one, and the operators' Chinese locale (code page 936).
# Expects BUILD_DIR to be set.
export WINEPREFIX="${BUILD_DIR}/wineprefix"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
