#!/usr/bin/env bash
# Every option tarnwick-cli's commands accept is described in the manual page
# and offered by both shell completions, so none of them falls behind.
set -euo pipefail
cli=$1
source_dir=$2
man_page=$source_dir/cli/doc/tarnwick-cli.1
bash_completion=$source_dir/cli/completion/tarnwick-cli.bash
zsh_completion=$source_dir/cli/completion/_tarnwick-cli

# The options the bash completion offers after a '-': its options= lists.
bash_offers=$(sed -n "/options+\?=/,/'\$/p" "$bash_completion")

missing=0
for command in search replace lowercase undo; do
  # The options are the names at the start of the help's lines ("  -e,--regex ...").
  options=$("$cli" "$command" --help | grep -oE -- '^ +(-[a-zA-Z0-9],)?--[a-z0-9-]+' | grep -oE -- '--[a-z0-9-]+' | sort -u)
  [ -n "$options" ] || { echo "no options in: $cli $command --help"; exit 1; }
  for option in $options; do
    # The manual page writes each hyphen as \-.
    if ! grep -qF -- "${option//-/\\-}" "$man_page"; then
      echo "$command $option: not in the manual page"; missing=1
    fi
    if ! grep -qE -- "(^|[ '])$option([ ']|$)" <<<"$bash_offers"; then
      echo "$command $option: not in the bash completion"; missing=1
    fi
    if ! grep -qE -- "$option([]=[' ,}-]|$)" "$zsh_completion"; then
      echo "$command $option: not in the zsh completion"; missing=1
    fi
  done
done
exit $missing
