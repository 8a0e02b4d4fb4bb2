#!/bin/sh
# Removes this installation of Pagewright: first its registry records (the App Paths key and
# the uninstall slot, only while they still name this installation), then every file listed in
# install_manifest.txt beside this script, then the directories the installation created, once
# they are empty. Files that were not installed are never touched. Silent; exit status 1 when
# the manifest is missing.
here=$(CDPATH= cd -- "$(dirname -- "$0")" && pwd) || exit 1
manifest="$here/install_manifest.txt"
[ -f "$manifest" ] || exit 1
# The script lives in <prefix>/lib/pagewright; manifest paths are relative to <prefix>.
root=$(dirname -- "$(dirname -- "$here")")
list=$(cat -- "$manifest") || exit 1
tab=$(printf '\t')

field() {
    printf '%s\n' "$list" | while IFS="$tab" read -r kind value; do
        if [ "$kind" = "$1" ]; then
            printf '%s\n' "$value"
            break
        fi
    done
}

program=$(field program)
command=$(field uninstall)
if [ -x "$here/pagewright-regtool" ] && [ -n "$program" ]; then
    "$here/pagewright-regtool" forget-install "$program" "$command" >/dev/null 2>&1
fi

printf '%s\n' "$list" | while IFS="$tab" read -r kind value; do
    if [ "$kind" = file ] && [ -n "$value" ]; then
        rm -f -- "$root/$value"
    fi
done

# Directories come deepest first; "." is the prefix itself and "..", "../.." its parents.
printf '%s\n' "$list" | while IFS="$tab" read -r kind value; do
    [ "$kind" = dir ] || continue
    dir=$root
    rest=$value
    while [ "${rest#..}" != "$rest" ]; do
        dir=$(dirname -- "$dir")
        rest=${rest#..}
        rest=${rest#/}
    done
    if [ "$rest" != "." ] && [ -n "$rest" ]; then
        dir="$dir/$rest"
    fi
    rmdir -- "$dir" 2>/dev/null
done
exit 0
