# bash completion for lettermill-recode: options, and after -t, --table and --check the tables
# that --list-tables finds, besides files.
_lettermill_recode() {
    local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]}
    case $previous in
    -t | --table | --check)
        local tables
        tables=$("${COMP_WORDS[0]}" --list-tables 2>/dev/null | cut -d ' ' -f 1)
        mapfile -t COMPREPLY < <(compgen -W "$tables" -- "$current"; compgen -f -- "$current")
        return
        ;;
    -o | --output)
        mapfile -t COMPREPLY < <(compgen -f -- "$current")
        return
        ;;
    esac
    if [[ $current == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W '-t --table -o --output -i --in-place -r --cr-lines
            -f --force -u --utf8 --check --list-tables --help --version' -- "$current")
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$current")
    fi
}
complete -o filenames -F _lettermill_recode lettermill-recode
