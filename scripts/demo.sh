#!/usr/bin/env bash
# Generates the sample site, headless, in both languages: pages, cross-links, index pages and
# the yearbook, into <build>/demo-site/{fr,en}/, with the sample files' home page index.html
# (a plain page the runs never read nor write) copied beside them.
set -euo pipefail
build=${1:-build}
cli="$build/bin/pagewright-cli"
site="$(cd "$build" && pwd)/demo-site"

for lang in fr en; do
  out="$site/$lang"
  samples="$build/bin/$([ "$lang" = fr ] && echo Français || echo English)"
  mkdir -p "$out"
  # Settings and the default directory of this demo stay inside the build tree.
  export PAGEWRIGHT_INI="$site/demo.ini" HOME="$site/home"
  mkdir -p "$HOME"
  echo "== $lang"
  "$cli" pages --lang "$lang" --dest "$out/" --quiet
  "$cli" links --lang "$lang" --dir "$out/" --quiet
  "$cli" index --lang "$lang" --source "$out/" --dest "$out/" --quiet
  "$cli" yearbook --lang "$lang" --dest "$out/" --quiet
  cp "$samples/index.html" "$out/index.html"
  # The home page must lead only to pages the runs wrote.
  for target in $(grep -o 'href="[^"]*"' "$out/index.html" | sed 's/^href="//; s/"$//'); do
    if [ ! -f "$out/$target" ]; then
      echo "The home page links $target, which the runs did not write." >&2
      exit 1
    fi
  done
done

echo
echo "The sample site is in $site/"
echo "  French:  file://$site/fr/index.html"
echo "  English: file://$site/en/index.html"
