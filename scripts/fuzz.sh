#!/usr/bin/env bash
# Runs every libFuzzer program of a fuzz build for a set time, growing the committed corpus.
set -euo pipefail
build=$1
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for fuzzer in "$build"/fuzz/*_fuzz; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer" _fuzz)
  corpus="$root/fuzz/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name: $seconds s"
  if ! "$fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/$name-" "$corpus" 2>"$build/$name.log"; then
    echo "   FAILED: see $build/$name.log"
    status=1
  fi
  tail -n 2 "$build/$name.log" | sed 's/^/   /'
done
exit $status
