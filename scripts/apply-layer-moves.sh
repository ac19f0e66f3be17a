#!/usr/bin/env bash
# Carries changes made beside the layer reorganisation into its layout, after
# a merge: files still at an old path, or added to an old folder, move to
# their new place (git mv), and every #include spelt the old way is rewritten,
# also for headers that git's own rename detection has already moved (mark
# those merge conflicts resolved with git add first). The moves are read from
# layers-moves.txt at the repository's root.
#   scripts/apply-layer-moves.sh [--dry-run]
# Prints what it does and what is left to check by hand (build files and
# scripts that name old paths); exit 0 done, 1 something could not be moved,
# 2 bad input.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
MOVES="$ROOT/layers-moves.txt"
DRY_RUN=false
case "${1:-}" in
  "") ;;
  --dry-run) DRY_RUN=true ;;
  *) echo "usage: scripts/apply-layer-moves.sh [--dry-run]" >&2; exit 2 ;;
esac
[ -f "$MOVES" ] || { echo "apply-layer-moves: $MOVES is missing" >&2; exit 2; }
cd "$ROOT"

problems=0
run() {
  echo "  $*"
  if ! $DRY_RUN; then "$@"; fi
}

move() {
  local old=$1 new=$2
  if [ -e "$new" ]; then
    echo "apply-layer-moves: both $old and $new exist: merge $old into $new by hand, then git rm $old" >&2
    problems=1
    return
  fi
  run mkdir -p "$(dirname "$new")"
  run git mv "$old" "$new"
}

echo "Files left at an old path:"
while read -r old new; do
  [ -e "$old" ] && move "$old" "$new"
done < <(grep -v -e '^#' -e '^folder ' -e '^include ' -e '^$' "$MOVES")

echo "Files added to an old folder since (check that each fits its new layer):"
while read -r _ oldFolder newFolder; do
  [ -d "$oldFolder" ] || continue
  while read -r file; do
    move "$file" "$newFolder/${file#"$oldFolder"/}"
  done < <(git ls-files "$oldFolder")
done < <(grep '^folder ' "$MOVES")

echo "Include lines rewritten:"
# One sed expression per spelling: s|#include "old"|#include "new"|
sedProgram=$(grep '^include ' "$MOVES" | awk -F'"' '{
  pattern = $2; gsub(/\./, "\\.", pattern)
  printf "s|#include \"%s\"|#include \"%s\"|\n", pattern, $4 }')
while read -r file; do
  if grep -q -F -f <(grep '^include ' "$MOVES" | sed -E 's|^include ("[^"]+").*|#include \1|') "$file"; then
    echo "  $file"
    $DRY_RUN || sed -i -E "$sedProgram" "$file"
  fi
done < <(git ls-files '*.h' '*.hpp' '*.c' '*.cpp' '*.rc' '*.rc.in' '*.idl')

echo "Includes of other headers from an old folder, now found in one layer folder:"
while IFS=: read -r file _ text; do
  old=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<< "$text")
  found=$(cd src && ls -d -- */"${old#*/}" 2>/dev/null || true)
  if [ "$(wc -w <<< "$found")" -ne 1 ]; then
    echo "apply-layer-moves: $file includes \"$old\": no single layer folder holds ${old#*/}; fix it by hand" >&2
    problems=1
    continue
  fi
  echo "  $file: \"$old\" -> \"$found\""
  $DRY_RUN || sed -i "s|#include \"$old\"|#include \"$found\"|" "$file"
done < <(git grep -n -E '#include "(server|registration)/' -- '*.h' '*.hpp' '*.c' '*.cpp' '*.rc' '*.rc.in' || true)

echo "Build files and scripts that still name an old folder (fix by hand):"
git grep -n -E 'src/(server|registration)/|tests/(server|host)/|\b(server|registration)/[A-Za-z]+\.(cpp|h|def|rc)' \
  -- '*CMakeLists.txt' '*.cmake' '*.sh' '*.md' ':!layers-moves.txt' ':!scripts/apply-layer-moves.sh' || echo "  none"
exit "$problems"
