#!/usr/bin/env bash
# Completes words with the bash completion of corvana-query as an interactive shell would, and
# checks that its commands and options are those that `corvana-query --help` lists, and after a
# command those that `corvana-query COMMAND --help` lists.
# Usage: completion_test.sh COMPLETION_FILE CORVANA_QUERY
set -uo pipefail
completion=$1
query=$2
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# shellcheck source=/dev/null
source "$completion" || { echo "cannot source $completion" >&2; exit 1; }
complete -p corvana-query >/dev/null || fail "the file registers no completion for corvana-query"

# The completions of the last word of LINE (a trailing blank starts an empty word). Words are
# split at blanks and, as bash does by default, "=" is a word of its own.
completions() {
    local line=$1 split=${2:-yes}
    local -a words
    read -ra words <<<"$line"
    [[ $line == *" " ]] && words+=("")
    if [[ $split == yes ]]; then
        local -a parts=()
        local w
        for w in "${words[@]}"; do
            if [[ $w == --*=* ]]; then
                parts+=("${w%%=*}" "=")
                [[ -n ${w#*=} || $w == "${words[-1]}" ]] && parts+=("${w#*=}")
            else
                parts+=("$w")
            fi
        done
        words=("${parts[@]}")
    fi
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    _corvana_query 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {
    local line=$1 want=$2 split=${3:-yes}
    local got
    got=$(completions "$line" "$split")
    [[ $got == "$want" ]] || fail "'$line': got '$got', want '$want'"
}

# Commands first, then options once a dash is typed; option values are skipped when looking
# for the command.
expect "corvana-query " "area city county distance lookup near nearest phone reach show state zip"
expect "corvana-query ne" "near nearest"
expect "corvana-query c" "city county"
expect "corvana-query --s" "--settings --show --sort --state"
expect "corvana-query --state UT c" "city county"
expect "corvana-query --csv --show county lo" "lookup"
expect "corvana-query --show=none z" "zip"
expect "corvana-query city --j" "--json"
expect "corvana-query zip 8" ""
expect "corvana-query near 84101 --l" "--limit"
expect "corvana-query lookup --c" "--caps --column --columns --csv"
expect "corvana-query --csv lookup --j" ""
expect "corvana-query --l" "--limit"
expect "corvana-query -- --c" ""
expect "corvana-query p" "phone"
expect "corvana-query s" "show state"
expect "corvana-query phone --h" "--help --hours"
expect "corvana-query phone --z" "--zips"
expect "corvana-query reach 84101 --p" "--people"
expect "corvana-query county x --sort p" "population"
expect "corvana-query lookup --p" "--phone-column"
expect "corvana-query show 84101 --" "--caps --csv --data --help --json --settings --version"
expect "corvana-query near --z" ""
expect "corvana-query nearest --k" "--kind"
expect "corvana-query near 84101 --kind st" "standard"
expect "corvana-query near 84101 --kind standard,m" "standard,military"

# Values of the options that have a fixed set of them, in both spellings, and comma lists.
expect "corvana-query --show co" "county"
expect "corvana-query --show county," "county,area county,county county,none county,time county,zone"
expect "corvana-query --caps=ci" "cities"
expect "corvana-query --caps=cities,co" "--caps=cities,counties" no
expect "corvana-query --format 3" "3 30 31 32"
expect "corvana-query phone --hours " "8-21 9-20"
expect "corvana-query lookup --columns city,l" "city,latitude city,longitude"
expect "corvana-query --miles 5 n" "near nearest"
expect "corvana-query --state w" "WA WI WV WY"
expect "corvana-query state u" "UT"
expect "corvana-query state UT sa" ""

# File and directory values come from the file system.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/data" "$dir/dates"
touch "$dir/data.ini"
expect "corvana-query --data $dir/da" "$dir/data $dir/dates"
expect "corvana-query --settings $dir/data." "$dir/data.ini"

# The lists are those of the program's own usage text.
help=$("$query" --help) || fail "$query --help failed"
listed_options=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u | tr '\n' ' ')
listed_commands=$(grep -oE '(\[OPTIONS\]|\|) [a-z]+' <<<"$help" | awk '{print $NF}' | sort -u |
    tr '\n' ' ')
options=$(for o in $_corvana_query_options; do echo "${o%%:*}"; done | sort -u | tr '\n' ' ')
commands=$(printf '%s\n' $_corvana_query_commands | sort -u | tr '\n' ' ')
[[ $options == "$listed_options" ]] ||
    fail "options: completion has '$options', --help lists '$listed_options'"
[[ $commands == "$listed_commands" ]] ||
    fail "commands: completion has '$commands', --help lists '$listed_commands'"

# After a command, the options of its own usage text.
for command in $_corvana_query_commands; do
    help=$("$query" "$command" --help) || fail "$query $command --help failed"
    listed=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u | tr '\n' ' ' | sed 's/ $//')
    expect "corvana-query $command --" "$listed"
done

if [[ $failures -gt 0 ]]; then
    echo "$failures completion checks failed" >&2
    exit 1
fi
echo "bash completion of corvana-query: every check passed"
