#!/usr/bin/env bash
# Generates the sample site, headless, in both languages: pages, cross-links, index pages and
# the yearbook, into <build>/demo-site/{fr,en}/.
set -euo pipefail
build=${1:-build}
cli="$build/bin/pagewright-cli"
site="$(cd "$build" && pwd)/demo-site"

for lang in fr en; do
  out="$site/$lang"
  mkdir -p "$out"
  # Settings and the default directory of this demo stay inside the build tree.
  export PAGEWRIGHT_INI="$site/demo.ini" HOME="$site/home"
  mkdir -p "$HOME"
  echo "== $lang"
  "$cli" pages --lang "$lang" --dest "$out/" --quiet
  "$cli" links --lang "$lang" --dir "$out/" --quiet
  "$cli" index --lang "$lang" --source "$out/" --dest "$out/" --quiet
  "$cli" yearbook --lang "$lang" --dest "$out/" --quiet
done

echo
echo "The sample site is in $site/"
echo "  French:  file://$site/fr/   (for example $(ls "$site/fr" | grep -m1 '^chaise'))"
echo "  English: file://$site/en/   (yearbook: Index_One_Page.htm)"
