#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks it as a packager would: its name,
# its file list (the programs, their data as data/ holds it, the desktop entry, icon, AppStream
# metadata, man pages, completion and the package's documentation, and nothing else), its
# dependencies, that its programs are stripped and report the project's version, and that
# desktop-file-validate, appstreamcli and lintian find nothing to fix.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR VERSION WINDOW (ON when the window is built)
set -euo pipefail
build=$1 source=$2 version=$3 window=$4
programs="pagewright-cli unpage"
libraries="libc6 libstdc++6"
if [ "$window" = ON ]; then
    programs+=" pagewright"
    libraries+=" libqt6core6 libqt6gui6 libqt6widgets6"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
arch=$(dpkg --print-architecture)
deb="$work/out/pagewright_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$work/out"; fail "no package named pagewright_${version}_${arch}.deb"; exit 1; }

# The file list: every entry but the directories, links with their targets.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' |
    sed 's#^\./#/#' | sort >"$work/files"
{
    for program in $programs; do
        echo "/usr/bin/$program -> ../lib/pagewright/$program"
        echo "/usr/lib/pagewright/$program"
        echo "/usr/share/man/man1/$program.1.gz"
    done
    (cd "$source/data" && find . -type f | sed 's#^\.#/usr/lib/pagewright#')
    if [ "$window" = ON ]; then
        echo /usr/share/applications/pagewright.desktop
        echo /usr/share/icons/hicolor/scalable/apps/pagewright.svg
        echo /usr/share/metainfo/org.pagewright.pagewright.metainfo.xml
    fi
    echo /usr/share/bash-completion/completions/pagewright-cli
    echo /usr/share/zsh/vendor-completions/_pagewright-cli
    echo /usr/share/doc/pagewright/copyright
    echo /usr/share/doc/pagewright/changelog.gz
} | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the file list differs (- expected, + in the package)"

# Dependencies come from the libraries the programs link, and nothing of the build's own.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in $libraries; do
    [[ $depends == *"$library "* || $depends == *"$library," || $depends == *"$library" ]] ||
        fail "Depends lacks $library"
done
[[ $depends != *gtest* && $depends != *benchmark* && $depends != *-dev* ]] ||
    fail "Depends holds a build or test package"
for field in Maintainer Description Homepage Section; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "no $field field"
done

# The programs are stripped, and answer --help and --version without a display: the window
# would fail to open without one.
dpkg-deb -x "$deb" "$work/root"
for program in $programs; do
    path="$work/root/usr/lib/pagewright/$program"
    file -L "$path" | grep -q ', stripped' || fail "$program is not stripped"
    reported=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$path" --version)
    [ "$reported" = "$program $version" ] || fail "$program --version says '$reported'"
    help=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$path" --help) &&
        [[ $help == *"$program"* ]] || fail "$program --help"
done

if [ "$window" = ON ]; then
    desktop-file-validate "$work/root/usr/share/applications/pagewright.desktop" \
        >"$work/desktop.log" 2>&1
    [ ! -s "$work/desktop.log" ] || { cat "$work/desktop.log"; fail "desktop-file-validate"; }
    appstreamcli validate --no-net --pedantic \
        "$work/root/usr/share/metainfo/org.pagewright.pagewright.metainfo.xml" \
        >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "appstreamcli validate"; }
    if grep -q '^[EWIP]:' "$work/appstream.log"; then
        cat "$work/appstream.log"
        fail "appstreamcli has notes"
    fi
fi

# Lintian's errors and warnings fail; its information tags stay by design (the data and help
# pages lie beside the programs, which find them there; French words are no misspellings).
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian"; }

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "The package $(basename "$deb") holds $(wc -l <"$work/files") files; every check passed."
