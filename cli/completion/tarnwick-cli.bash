# bash completion for tarnwick-cli. Every option of `tarnwick-cli <command>
# --help` is listed here; a test compares the two.

_tarnwick_cli()
{
    local cur prev words cword
    _init_completion || return

    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            search | replace | lowercase | undo)
                command=${words[i]}
                break
                ;;
        esac
    done

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W 'search replace lowercase undo --help --version' -- "$cur"))
        return
    fi

    # undo takes --list or the name of a run, as --list shows it.
    if [[ $command == undo ]]; then
        if [[ $cur == -* ]]; then
            local options='--help --list'
            COMPREPLY=($(compgen -W "$options" -- "$cur"))
        else
            local journals=${XDG_STATE_HOME:-$HOME/.local/state}/tarnwick/undo
            COMPREPLY=($(compgen -W "$(command ls "$journals" 2>/dev/null)" -- "$cur"))
        fi
        return
    fi

    # Values of options that take one.
    case $prev in
        --temp-dir)
            _filedir -d
            return
            ;;
        --log | --settings-file | --out)
            _filedir
            return
            ;;
        --names-mode)
            COMPREPLY=($(compgen -W 'all ignore' -- "$cur"))
            return
            ;;
        --date-kinds)
            COMPREPLY=($(compgen -W 'created modified accessed created,modified modified,accessed' -- "$cur"))
            return
            ;;
        --export)
            COMPREPLY=($(compgen -W 'xml csv template=' -- "$cur"))
            [[ ${COMPREPLY[0]} == template= ]] && compopt -o nospace
            return
            ;;
        --export-elements)
            COMPREPLY=($(compgen -W 'hits errors filenames dirnames hits,errors' -- "$cur"))
            return
            ;;
        -t | --types | --names | --min-size | --max-size | --date-from | --date-to | --changed-within | --context | \
            --backup-ext | --preset | \
            --word-ext | --split-length | --split-max-offset | --threads | --separator)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        local options='--help --regex --match-case --whole-words --subfolders --types --names --names-mode
            --min-size --max-size --date-from --date-to --changed-within --date-kinds --file-names --dir-names --no-contents
            --files-without-match --inside --skip-hidden --skip-readonly --skip-archive --skip-system --attributes-on-dirs --context
            --no-backup --backup-ext --search-backups --no-word --word-all-types --word-all-parts --word-ext --word-regex --escapes --captures --preserve-case
            --split-length --split-max-offset --temp-dir --ignore-nulls --detect-utf8 --threads --log
            --settings --settings-file --preset --export --out --export-elements --separator'
        [[ $command == lowercase ]] && options+=' --only-upper'
        [[ $command == replace ]] && options+=' --diff'
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    # TEXT and REPLACEMENT are free text; DIR is the last positional.
    _filedir -d
} &&
    complete -F _tarnwick_cli tarnwick-cli
