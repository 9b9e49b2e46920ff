# bash completion for velmora-cli                                     -*- shell-script -*-

# The package kinds a path argument offers (folders are always offered: they are searched).
_velmora_cli_packages='pptx|pptm|potx|potm|ppsx|ppsm|docx|docm|dotx|dotm|xlsx|xlsm|xltx|xltm'

# Offers the words of $1 that start with the current word (quotes the user opened are ignored),
# each quoted when the shell would otherwise read it differently, such as
# 'TotalEditTime(second)='. $2 is appended to each word.
_velmora_cli_names()
{
    local typed=$cur word
    typed=${typed#[\'\"]}
    COMPREPLY=()
    for word in $1; do
        word+=$2
        [[ $word == "$typed"* ]] || continue
        if [[ $word == *[^A-Za-z0-9_=:,./-]* ]]; then
            COMPREPLY+=("'$word'")
        else
            COMPREPLY+=("$word")
        fi
    done
}

_velmora_cli()
{
    local cur prev words cword
    _init_completion -n = || return

    local properties='Title Subject Creator Keywords Description LastModifiedBy Revision LastPrinted
        CreatedTime ModifiedTime Category ContentType ContentStatus Template TotalEditTime(second)
        Company Manager'
    local commands='show set export import history undo thumbnail'
    # Options that take the next word as their value.
    local valued='--set --clear --custom --custom-clear --fill --match --ext --jobs --format --output --run --zone --files-from'

    # The command, how many paths (and the table) precede the current word, and whether "--" ended
    # the options.
    local command="" positionals=0 ended="" i
    for ((i = 1; i < cword; i++)); do
        if [[ -z $command ]]; then
            [[ " $commands " == *" ${words[i]} "* ]] && command=${words[i]}
            continue
        fi
        if [[ -n $ended ]]; then
            ((positionals++))
        elif [[ ${words[i]} == -- ]]; then
            ended=1
        elif [[ " $valued " == *" ${words[i]} "* ]]; then
            ((i++))
        elif [[ ${words[i]} != -* ]]; then
            ((positionals++))
        fi
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--help --version' -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    if [[ -z $ended ]]; then
        case $prev in
            --set | --fill)
                compopt -o nospace
                _velmora_cli_names "$properties" =
                return
                ;;
            --clear)
                _velmora_cli_names "$properties"
                return
                ;;
            --format)
                COMPREPLY=($(compgen -W 'html text xml xlsx csv' -- "$cur"))
                return
                ;;
            --files-from)
                # "-" is standard input.
                _filedir
                [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)
                return
                ;;
            --output)
                # "-" is standard output.
                _filedir
                [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)
                return
                ;;
            --ext)
                # A comma-separated list: complete its last item.
                local head=""
                [[ $cur == *,* ]] && head=${cur%,*},
                COMPREPLY=($(compgen -P "$head" -W 'office pptx pptm potx potm ppsx ppsm docx docm dotx dotm
                    xlsx xlsm xltx xltm' -- "${cur##*,}"))
                [[ ${#COMPREPLY[@]} -eq 1 ]] && compopt -o nospace
                return
                ;;
            --run)
                # The run ids the journal lists.
                COMPREPLY=($(compgen -W "$(velmora-cli history 2>/dev/null | awk '/^[^ ]/ {print $1}')" \
                    -- "$cur"))
                return
                ;;
            --zone)
                # The zone names of the system's zone database.
                local zones=${TZDIR:-/usr/share/zoneinfo}
                [[ -d $zones ]] && COMPREPLY=($(cd "$zones" && compgen -f -- "$cur"))
                compopt -o filenames
                return
                ;;
            --custom | --custom-clear | --match | --jobs)
                return
                ;;
        esac

        if [[ $cur == -* ]]; then
            local options='--help --files-from --null'
            local saving='--no-journal --keep-mtime --ignore-locks --jobs --quiet --json --jsonl'
            case $command in
                show) options+=' --json --jsonl --csv --utc --custom --stats --ext' ;;
                set) options+=" --set --clear --fill --match --custom --custom-clear --clear-personal --dry-run
                    --ext $saving" ;;
                export) options+=' --format --output --custom --utc --ext' ;;
                import) options+=" --dry-run --empty-clears --skip-invalid --ignore-unknown-columns --zone --ext
                    $saving" ;;
                history) options+=' --purge' ;;
                undo) options+=' --run --keep-mtime --ignore-locks --quiet --json --jsonl' ;;
                thumbnail) options+=' --output' ;;
            esac
            COMPREPLY=($(compgen -W "$options --" -- "$cur"))
            return
        fi
    fi

    # import's first path is the table.
    if [[ $command == import && $positionals -eq 0 ]]; then
        _filedir '@(csv|xlsx)'
        return
    fi
    _filedir "@($_velmora_cli_packages)"
} &&
    complete -F _velmora_cli velmora-cli

# ex: filetype=sh
