#!/usr/bin/env bash
# The bash completion of pagewright-cli, through bash-completion as an interactive shell runs
# it: commands, each command's options, separators, languages, tags, files and directories.
# Usage: completion_test.sh COMPLETION_FILE
set -uo pipefail
completion=$1
source /usr/share/bash-completion/bash_completion
source "$completion"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir site && touch shop.txt model.htm

failures=0
# check "WORDS..." "EXPECTED" completes the last word of WORDS (as bash splits the line) and
# compares the sorted candidates with EXPECTED.
check() {
    local line=$1 expected=$2
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMP_WORDS=()
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _pagewright_cli pagewright-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
    if [ "$got" != "$expected" ]; then
        echo "FAIL: '$line' completes to '$got', not '$expected'"
        failures=$((failures + 1))
    fi
}

check "pagewright-cli " "--help --version check index links pages yearbook"
check "pagewright-cli pa" "pages"
check "pagewright-cli pages --d" "--data --dest --dry-run"
check "pagewright-cli check --d" "--data"
check "pagewright-cli links --" "--dir --dry-run --help --lang --link-tag --prefix --quiet --text-tag"
check "pagewright-cli index --c" "--criterion-tag"
check "pagewright-cli pages --separator " ': \# \$ \& \, \; \|'
check "pagewright-cli yearbook --lang " "en fr"
check "pagewright-cli pages --name-tags " "first"
check "pagewright-cli pages --title-tag se" "second"
check "pagewright-cli links --link-tag 10" "10 100"
check "pagewright-cli pages --data " "model.htm shop.txt site"
check "pagewright-cli pages --dest " "site"
check "pagewright-cli index --source s" "site"

if [ "$failures" -ne 0 ]; then
    echo "$failures completion(s) wrong"
    exit 1
fi
echo "Every completion as expected."
