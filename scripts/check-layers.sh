#!/usr/bin/env bash
# Checks that the component's layers depend one way only. The layers are the
# add_layer lines of src/CMakeLists.txt: a library, its folder under src and
# the layers it USES. A layer may use only layers declared before it, and a
# source file of a layer may include only from its own folder and the
# folders of the layers it uses, directly or through them.
#   scripts/check-layers.sh [--json] [<repository root>]
# Exit status: 0 the layers are sound, 1 a problem was found (each is named
# with its file and line and what to do), 2 bad input.
set -euo pipefail

json=false
root=""
for argument in "$@"; do
  case "$argument" in
    --json) json=true ;;
    -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "check-layers: unknown option $argument (try --help)" >&2; exit 2 ;;
    *) root=$argument ;;
  esac
done
root=${root:-$(cd "$(dirname "$0")/.." && pwd)}
cmakeFile="$root/src/CMakeLists.txt"
[ -f "$cmakeFile" ] || { echo "check-layers: $cmakeFile not found: give the repository's root" >&2; exit 2; }

# The layers, bottom first: "<line> <target> <folder> <used targets...>".
layers=$(awk '
  /^[[:space:]]*add_layer\(/ {
    line = NR; text = $0
    while (text !~ /\)/ && (getline more) > 0) text = text " " more
    sub(/^[[:space:]]*add_layer\(/, "", text); sub(/\).*/, "", text)
    n = split(text, word, /[[:space:]]+/)
    out = line " " word[1] " " word[2]; using = 0
    for (i = 3; i <= n; i++) {
      if (word[i] == "USES") { using = 1; continue }
      if (word[i] == "SYSTEM" || word[i] == "SHARED") { using = 0; continue }
      if (using) out = out " " word[i]
    }
    print out
  }' "$cmakeFile")
[ -n "$layers" ] || { echo "check-layers: no add_layer lines in $cmakeFile" >&2; exit 2; }

problems=()
declare -A folderOf=() allowed=()
while read -r line target folder uses; do
  reach=" $folder "
  for used in $uses; do
    if [ -z "${folderOf[$used]:-}" ]; then
      problems+=("src/CMakeLists.txt:$line: layer $target uses $used, which is not a layer declared before it: declare layers bottom first and let a layer use only lower ones")
      continue
    fi
    for reached in ${allowed[${folderOf[$used]}]}; do
      case "$reach" in *" $reached "*) ;; *) reach+="$reached " ;; esac
    done
  done
  folderOf[$target]=$folder
  allowed[$folder]=$reach
done <<< "$layers"

# Every quoted include of every layer's sources.
for folder in "${!allowed[@]}"; do
  [ -d "$root/src/$folder" ] || continue
  while IFS=: read -r file line text; do
    included=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<< "$text")
    relative=${file#"$root"/}
    case "$included" in
      ../*|*/../*)
        problems+=("$relative:$line: #include \"$included\" climbs out of its folder: name the header by its layer folder, e.g. \"util/AnsiText.h\"")
        continue ;;
      */*) ;;
      *) continue ;;  # a file of the same folder
    esac
    includedFolder=${included%%/*}
    [ -n "${allowed[$includedFolder]:-}" ] || continue  # not a layer (a generated or system header)
    case "${allowed[$folder]}" in
      *" $includedFolder "*) ;;
      *) problems+=("$relative:$line: layer $folder includes \"$included\" from layer $includedFolder, which it does not use: move the code down to a layer both may use, or pass what is needed in from above") ;;
    esac
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/src/$folder" || true)
done

if $json; then
  printf '{"ok": %s, "layers": [' "$([ ${#problems[@]} -eq 0 ] && echo true || echo false)"
  separator=""
  while read -r _ target folder uses; do
    printf '%s{"target": "%s", "folder": "src/%s", "uses": [%s]}' "$separator" "$target" "$folder" \
      "$(for used in $uses; do printf '"%s",' "$used"; done | sed 's/,$//')"
    separator=", "
  done <<< "$layers"
  printf '], "problems": ['
  separator=""
  for problem in "${problems[@]}"; do
    printf '%s"%s"' "$separator" "$(sed 's/\\/\\\\/g; s/"/\\"/g' <<< "$problem")"
    separator=", "
  done
  printf ']}\n'
else
  for problem in "${problems[@]}"; do echo "$problem"; done
  [ ${#problems[@]} -eq 0 ] && echo "check-layers: $(wc -l <<< "$layers") layers, every include goes down"
fi
[ ${#problems[@]} -eq 0 ]
