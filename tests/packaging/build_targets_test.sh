#!/usr/bin/env bash
# What the make targets build: `make demo` and `make install` build the programs (and what
# install puts in place), never a test, benchmark or fuzz program, and `make install` runs no
# dependency installer; build/bin holds only the programs a person runs and their data.
# Usage: build_targets_test.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
source=$1 build=$2
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# make target | the build target it must ask for | may it run the dependency installer
while read -r target build_target installs_deps; do
    plan=$(make -n -C "$source" "$target" BUILD="$build" 2>&1)
    [[ $plan == *"--target $build_target"* ]] || fail "make $target does not build '$build_target': $plan"
    if [ "$installs_deps" = no ] && [[ $plan == *install-deps* ]]; then
        fail "make $target runs the dependency installer"
    fi
    inputs=$(ninja -C "$build" -t inputs "$build_target")
    [ -n "$inputs" ] || fail "ninja knows no inputs of '$build_target'"
    strays=$(grep -E '(^|/)(tests|bench|fuzz)/|gtest|gmock' <<<"$inputs")
    [ -z "$strays" ] || fail "'$build_target' builds what the tests need: $(head -3 <<<"$strays")"
done <<'TABLE'
demo      programs   yes
install   installed  no
package   installed  yes
TABLE

expected=$( (printf '%s\n' pagewright pagewright-cli unpage pagewright-uninstall
    ls -A "$source/data") | sort)
actual=$(ls -A "$build/bin" | sort)
[ "$expected" = "$actual" ] ||
    fail "build/bin holds: $(comm -13 <(echo "$expected") <(echo "$actual") | tr '\n' ' ')"`
        `"and lacks: $(comm -23 <(echo "$expected") <(echo "$actual") | tr '\n' ' ')"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "Every target builds what it should."
