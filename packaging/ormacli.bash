# bash completion for ormacli. The commands and options come from ormacli
# itself (ormacli --completion-words [COMMAND]), from the table its parser and
# its --help use.

_ormacli() {
    local cur prev command i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    command=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} != -* ]]; then
            command=${COMP_WORDS[i]}
            break
        fi
    done

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$(ormacli --completion-words 2>/dev/null)" -- "$cur"))
        return
    fi

    local option value options="" takes_value=""
    while read -r option value; do
        options+=" $option"
        [[ -n $value ]] && takes_value+=" $option "
    done < <(ormacli --completion-words "$command" 2>/dev/null)

    # After an option that takes a value: file names (most values are files).
    if [[ $takes_value == *" $prev "* ]]; then
        COMPREPLY=($(compgen -f -- "$cur"))
        compopt -o filenames 2>/dev/null
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    COMPREPLY=($(compgen -f -- "$cur"))
    compopt -o filenames 2>/dev/null
}
complete -F _ormacli ormacli
