# bash completion for pagewright-cli: commands, their options, separators, languages, tags,
# and files or directories where an option takes one.

_pagewright_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            pages | links | index | yearbook | check)
                command=${words[i]}
                break
                ;;
        esac
    done

    case $prev in
        --data | --model)
            _filedir
            return
            ;;
        --dest | --dir | --source)
            _filedir -d
            return
            ;;
        --separator)
            local separator
            COMPREPLY=()
            for separator in ';' '|' ',' ':' '#' '&' '$'; do
                [[ -z $cur || $separator == "$cur"* || $(printf '%q' "$separator") == "$cur"* ]] &&
                    COMPREPLY+=("$(printf '%q' "$separator")")
            done
            return
            ;;
        --lang)
            COMPREPLY=($(compgen -W 'fr en' -- "$cur"))
            return
            ;;
        --name-tags)
            COMPREPLY=($(compgen -W 'first' -- "$cur"))
            return
            ;;
        --title-tag)
            COMPREPLY=($(compgen -W "second $(echo {0..98})" -- "$cur"))
            return
            ;;
        --link-tag | --text-tag | --criterion-tag)
            COMPREPLY=($(compgen -W "$(echo {0..100})" -- "$cur"))
            return
            ;;
        --prefix)
            return
            ;;
    esac
    $split && return

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W 'pages links index yearbook check --help --version' -- "$cur"))
        return
    fi

    local options
    case $command in
        pages) options='--data --model --dest --separator --name-tags --title-tag --dry-run' ;;
        links) options='--dir --link-tag --text-tag --prefix --dry-run' ;;
        index) options='--source --dest --criterion-tag --text-tag --dry-run' ;;
        yearbook) options='--data --model --dest --separator --dry-run' ;;
        check) options='--data --model --separator --name-tags --title-tag' ;;
    esac
    COMPREPLY=($(compgen -W "$options --lang --quiet --help" -- "$cur"))
} &&
    complete -F _pagewright_cli pagewright-cli
