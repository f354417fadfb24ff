# bash completion for corvana-query                          -*- shell-script -*-
#
# Completes the commands, the options (after a command, those it takes) and the values of the
# options that take a fixed set of them. A new command goes into the first list and into
# _corvana_query_takes; a new option into the second list, as --name for one that takes no
# value or --name:KIND for one that does, where KIND picks how its value is completed (see
# _corvana_query_values), and into _corvana_query_takes for the commands that take it.

_corvana_query_commands="zip city state county area lookup distance near nearest reach phone show"
_corvana_query_options="--data:dir --settings:file --state:state --show:show --caps:caps
    --format:format --csv --json --sort:sort --column:text --columns:columns --distance-from:text
    --miles:text --km:text --people:text --limit:text --kind:kind --hours:hours --zips --phone-column:text --help
    --version"

# The options that command $1 takes besides --data, --settings, --help and --version, as
# `corvana-query COMMAND --help` lists them; every search takes those of zip.
_corvana_query_takes() {
    case $1 in
    lookup) echo "--caps --csv --column --columns --distance-from --phone-column --hours" ;;
    phone) echo "--show --caps --format --csv --json --hours --zips" ;;
    near) echo "--show --caps --format --csv --json --miles --km --limit --kind" ;;
    reach) echo "--show --caps --csv --json --miles --km --people --kind" ;;
    show) echo "--caps --csv --json" ;;
    nearest) echo "--show --caps --format --csv --json --kind" ;;
    distance) echo "--show --caps --format --csv --json" ;;
    *) echo "--state --show --caps --format --csv --json --sort" ;;
    esac
}

# The kind of value that option $1 takes, or nothing when it takes none or is unknown.
_corvana_query_kind() {
    local entry
    for entry in $_corvana_query_options; do
        case $entry in
        "$1":*) echo "${entry#*:}" ;;
        esac
    done
}

# Fills COMPREPLY with the values of kind $1 that begin with $2.
_corvana_query_values() {
    local kind=$1 cur=$2 choices=
    case $kind in
    dir)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return ;;
    file)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return ;;
    state)
        # The program takes abbreviations in capitals; a lower-case start completes to them.
        cur=${cur^^}
        choices="AA AE AK AL AP AR AS AZ CA CO CT DC DE FL FM GA GU HI IA ID IL IN KS KY LA MA
                 MD ME MH MI MN MO MP MS MT NC ND NE NH NJ NM NV NY OH OK OR PA PR PW RI SC
                 SD TN TX UT VA VI VT WA WI WV WY" ;;
    show) choices="county area zone time none" ;;
    caps) choices="cities counties states none" ;;
    columns)
        choices="city state county area_code utc_offset dst latitude longitude county_fips kind
                 time_zone other_counties other_area_codes other_cities population density" ;;
    sort) choices="population" ;;
    kind) choices="all standard po_box_or_unique military" ;;
    format) choices=$(seq 0 32) ;;
    # The federal calling hours, and a common narrower choice.
    hours) choices="8-21 9-20" ;;
    *) return ;;
    esac
    # Comma lists: complete the last item, keeping those before it.
    local head= last=$cur
    if [[ $kind == show || $kind == caps || $kind == columns || $kind == kind ]] && [[ $cur == *,* ]]; then
        head=${cur%,*},
        last=${cur##*,}
    fi
    local c
    COMPREPLY=()
    for c in $choices; do
        [[ $c == "$last"* ]] && COMPREPLY+=("$head$c")
    done
}

_corvana_query() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()

    # --name=value: bash splits the word at "=" unless COMP_WORDBREAKS lacks it.
    if [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
        _corvana_query_values "$(_corvana_query_kind "${COMP_WORDS[COMP_CWORD - 2]}")" "$cur"
        return
    fi
    if [[ $cur == --*=* ]]; then
        _corvana_query_values "$(_corvana_query_kind "${cur%%=*}")" "${cur#*=}"
        local i
        for i in "${!COMPREPLY[@]}"; do
            COMPREPLY[i]=${cur%%=*}=${COMPREPLY[i]}
        done
        return
    fi

    # Find the command: the first word that is neither an option nor an option's value.
    local i=1 word command= ended=
    while [[ $i -lt $COMP_CWORD ]]; do
        word=${COMP_WORDS[i]}
        if [[ -n $ended || $word != --* ]]; then
            command=$word
            break
        elif [[ $word == -- ]]; then
            ended=1
        elif [[ ${COMP_WORDS[i + 1]} == = ]]; then
            ((i += 2))
        elif [[ -n $(_corvana_query_kind "$word") ]]; then
            ((i++))
        fi
        ((i++))
    done

    if [[ -z $ended && $cur == -* ]]; then
        # After the command, only the options it takes.
        local entry names=
        if [[ -n $command ]]; then
            names="--data --settings --help --version $(_corvana_query_takes "$command")"
        else
            for entry in $_corvana_query_options; do
                names+=" ${entry%%:*}"
            done
        fi
        mapfile -t COMPREPLY < <(compgen -W "$names" -- "$cur")
        return
    fi
    if [[ $prev == --* && -z $ended ]]; then
        local kind
        kind=$(_corvana_query_kind "$prev")
        if [[ -n $kind ]]; then
            _corvana_query_values "$kind" "$cur"
            return
        fi
    fi
    if [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$_corvana_query_commands" -- "$cur")
    elif [[ $command == state && $((COMP_CWORD - i)) -eq 1 ]]; then
        _corvana_query_values state "$cur"
    fi
}

complete -F _corvana_query corvana-query
