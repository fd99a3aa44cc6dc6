#!/usr/bin/env bash
# The bash completion offers the commands first, then the options of the
# command typed, and the choices of an option that has a fixed set.
set -uo pipefail
source /usr/share/bash-completion/bash_completion
source "$1/cli/completion/tarnwick-cli.bash"

complete_line() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _tarnwick_cli tarnwick-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

failed=0
expect() {
  local got
  got=$(complete_line "${@:2}")
  if [ "$got" != "$1" ]; then
    echo "completing '${*:2}': expected '$1', got '$got'"
    failed=1
  fi
}
expect 'replace ' tarnwick-cli re
expect '--skip-archive --skip-hidden --skip-readonly --skip-system ' tarnwick-cli replace --sk
expect '--only-upper ' tarnwick-cli lowercase --only
expect '' tarnwick-cli search --only
expect '--list ' tarnwick-cli undo --l
expect 'all ignore ' tarnwick-cli search --names-mode ''
expect 'created created,modified ' tarnwick-cli search --date-kinds cr
exit $failed
