#!/usr/bin/env bash
# Checks that the component's layers and param_host's families of commands
# depend one way only. The layers are the add_layer lines of
# src/CMakeLists.txt, the families the add_family lines of
# tools/param-host/CMakeLists.txt: a library, its folder and the layers it
# USES. A layer may use only layers declared before it, and a source file of
# a layer may include only from its own folder and the folders of the layers
# it uses, directly or through them; param_host's own folder (main()) comes
# above every family, and no family includes from it.
#   scripts/check-layers.sh [--json] [<repository root>]
# Exit status: 0 the layers are sound, 1 a problem was found (each is named
# with its file and line and what to do), 2 bad input.
set -euo pipefail

json=false
root=""
for argument in "$@"; do
  case "$argument" in
    --json) json=true ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "check-layers: unknown option $argument (try --help)" >&2; exit 2 ;;
    *) root=$argument ;;
  esac
done
root=${root:-$(cd "$(dirname "$0")/.." && pwd)}
[ -f "$root/src/CMakeLists.txt" ] || { echo "check-layers: $root/src/CMakeLists.txt not found: give the repository's root" >&2; exit 2; }

# The layers of one tree, bottom first: "<line> <target> <folder> <used targets...>".
layer_lines() {  # <CMake file> <function>
  awk -v function_name="$2" '
    $0 ~ "^[[:space:]]*" function_name "\\(" {
      line = NR; text = $0
      while (text !~ /\)/ && (getline more) > 0) text = text " " more
      sub("^[[:space:]]*" function_name "\\(", "", text); sub(/\).*/, "", text)
      n = split(text, word, /[[:space:]]+/)
      out = line " " word[1] " " word[2]; using = 0
      for (i = 3; i <= n; i++) {
        if (word[i] == "USES") { using = 1; continue }
        if (word[i] == "SYSTEM" || word[i] == "SHARED" || word[i] == "LINKS") { using = 0; continue }
        if (using) out = out " " word[i]
      }
      print out
    }' "$1"
}

problems=()
described=()  # "<target> <folder under the root> <used targets...>", for --json
layerCount=0

# Checks one tree: <CMake file> <function> <base folder> [<program target>]. A
# program target stands for the base folder's own files, above every layer.
check_tree() {
  local cmakeRelative=$1 function=$2 base=$3 program=${4:-}
  local layers
  layers=$(layer_lines "$root/$cmakeRelative" "$function")
  [ -n "$layers" ] || { echo "check-layers: no $function lines in $root/$cmakeRelative" >&2; exit 2; }
  if [ -n "$program" ]; then
    layers+=$'\n'"0 $program . $(awk '{ printf "%s ", $2 }' <<< "$layers")"
  fi

  local -A folderOf=() allowed=()
  local line target folder uses used reached reach
  while read -r line target folder uses; do
    reach=" $folder "
    for used in $uses; do
      if [ -z "${folderOf[$used]:-}" ]; then
        problems+=("$cmakeRelative:$line: layer $target uses $used, which is not a layer declared before it: declare layers bottom first and let a layer use only lower ones")
        continue
      fi
      for reached in ${allowed[${folderOf[$used]}]}; do
        case "$reach" in *" $reached "*) ;; *) reach+="$reached " ;; esac
      done
    done
    folderOf[$target]=$folder
    allowed[$folder]=$reach
    described+=("$target $base/$folder $uses")
    layerCount=$((layerCount + 1))
  done <<< "$layers"

  # Every quoted include of every layer's sources; the base folder's own
  # files only, not its layers' folders, for the program.
  local file text included relative includedFolder depth candidate
  for folder in "${!allowed[@]}"; do
    [ -d "$root/$base/$folder" ] || continue
    depth=()
    [ "$folder" = . ] && depth=(-maxdepth 1)
    while IFS=: read -r file line text; do
      included=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<< "$text")
      relative=${file#"$root"/}
      relative=${relative/\/.\//\/}
      case "$included" in
        ../*|*/../*)
          problems+=("$relative:$line: #include \"$included\" climbs out of its folder: name the header by its layer folder, e.g. \"util/AnsiText.h\"")
          continue ;;
        */*) includedFolder=${included%%/*} ;;
        *)
          # A bare name: a file of the same folder, else of the layer whose
          # folder holds it (an include directory of the layer's own).
          [ -f "$(dirname "$file")/$included" ] && continue
          includedFolder=""
          for candidate in "${!allowed[@]}"; do
            [ -f "$root/$base/$candidate/$included" ] && includedFolder=$candidate
          done
          [ -n "$includedFolder" ] || continue ;;  # a generated, system or outside header
      esac
      [ -n "${allowed[$includedFolder]:-}" ] || continue  # not a layer (a generated or system header)
      case "${allowed[$folder]}" in
        *" $includedFolder "*) ;;
        *)
          if [ "$includedFolder" = . ]; then
            problems+=("$relative:$line: layer $folder includes \"$included\" from the program's own folder, above every layer: move the code down to a layer, or pass what is needed in from above")
          else
            problems+=("$relative:$line: layer $folder includes \"$included\" from layer $includedFolder, which it does not use: move the code down to a layer both may use, or pass what is needed in from above")
          fi ;;
      esac
    done < <(find "$root/$base/$folder" "${depth[@]}" -type f \( -name '*.h' -o -name '*.c' -o -name '*.cpp' \) \
               -exec grep -nHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' {} + || true)
  done
}

check_tree src/CMakeLists.txt add_layer src
[ -f "$root/tools/param-host/CMakeLists.txt" ] &&
  check_tree tools/param-host/CMakeLists.txt add_family tools/param-host param_host

if $json; then
  printf '{"ok": %s, "layers": [' "$([ ${#problems[@]} -eq 0 ] && echo true || echo false)"
  separator=""
  for layer in "${described[@]}"; do
    read -r target folder uses <<< "$layer"
    printf '%s{"target": "%s", "folder": "%s", "uses": [%s]}' "$separator" "$target" "${folder%/.}" \
      "$(for used in $uses; do printf '"%s",' "$used"; done | sed 's/,$//')"
    separator=", "
  done
  printf '], "problems": ['
  separator=""
  for problem in "${problems[@]}"; do
    printf '%s"%s"' "$separator" "$(sed 's/\\/\\\\/g; s/"/\\"/g' <<< "$problem")"
    separator=", "
  done
  printf ']}\n'
else
  for problem in "${problems[@]}"; do echo "$problem"; done
  [ ${#problems[@]} -eq 0 ] && echo "check-layers: $layerCount layers, every include goes down"
fi
[ ${#problems[@]} -eq 0 ]
