# bash completion for velmora-cli
_velmora_cli()
{
    local cur prev words cword
    _init_completion || return

    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            show | set | export | import)
                command=${words[i]}
                break
                ;;
        esac
    done

    case $prev in
        --format)
            COMPREPLY=($(compgen -W 'html text xml xlsx csv' -- "$cur"))
            return
            ;;
        --output)
            _filedir
            return
            ;;
        --ext)
            COMPREPLY=($(compgen -W 'office pptx pptm potx potm ppsx ppsm docx docm dotx dotm xlsx xlsm
                xltx xltm' -- "$cur"))
            return
            ;;
        --set | --clear)
            local names='Title Subject Creator Keywords Description LastModifiedBy Revision
                LastPrinted CreatedTime ModifiedTime Category ContentType ContentStatus Template
                TotalEditTime(second) Company Manager'
            [[ $prev == --set ]] && names=$(printf '%s= ' $names) && compopt -o nospace
            COMPREPLY=($(compgen -W "$names" -- "$cur"))
            return
            ;;
    esac

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W 'show set export import --help' -- "$cur"))
        return
    fi
    if [[ $cur == -* ]]; then
        local options='--help'
        case $command in
            show) options+=' --json --csv --custom --ext' ;;
            set) options+=' --set --clear --fill --match --custom --custom-clear --dry-run --ext' ;;
            export) options+=' --format --output --custom --ext' ;;
            import) options+=' --dry-run --empty-clears --skip-invalid --ignore-unknown-columns --ext' ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    _filedir
}
complete -F _velmora_cli velmora-cli
