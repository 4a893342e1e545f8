# bash completion for dravik-cli. The commands and their options are read from
# `dravik-cli --help`, so the completion follows the program it comes with.
_dravik_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  local help command="" word i
  help=$("${COMP_WORDS[0]}" --help 2>/dev/null) || return 0
  if [ "$prev" = --lang ]; then
    mapfile -t COMPREPLY < <(compgen -W "zh en" -- "$cur")
    return 0
  fi
  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [ "$word" = --lang ]; then ((i++)); continue; fi
    command=$word
    break
  done
  if [ -z "$command" ]; then
    local commands
    commands=$(sed -n 's/^  \([a-z][a-z]*\) .*/\1/p' <<<"$help")
    mapfile -t COMPREPLY < <(compgen -W "$commands --lang --help --version" -- "$cur")
    return 0
  fi
  if [[ $cur == -* ]]; then
    local options
    options=$(grep "^  $command " <<<"$help" | grep -o -- '--[a-z][a-z-]*' | sort -u)
    mapfile -t COMPREPLY < <(compgen -W "$options --lang" -- "$cur")
    return 0
  fi
  # Everything else is a file name (projects, images, macro files, pictures, ports).
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}
complete -o filenames -o bashdefault -F _dravik_cli dravik-cli
