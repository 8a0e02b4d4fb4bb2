#!/usr/bin/env bash
# Benchmarks of pagewright-cli, each set beside the file-system floor measured in the same run:
# a plain program (pagewright-bench floor) that writes the same number of files of the same
# sizes into the same kind of directory. Prints tables; it never fails because a machine is
# slow (targets are reported as PASS/MISS for information).
#
# Usage: scripts/bench.sh [BUILD_DIR]      (BUILD_DIR defaults to build-release)
# Environment:
#   BENCH_SIZES       page counts of the pages run (default "1000 10000 100000")
#   BENCH_REPS        runs per measurement, medians taken (default 5)
#   BENCH_REPS_LARGE  runs per measurement at 50,000 files and more (default 3)
#   BENCH_SECTIONS    sections to run (default "pages links index yearbook long million window
#                     reference")
#   BENCH_LINK_SIZES, BENCH_INDEX_SIZES, BENCH_YEARBOOK_SIZES, BENCH_WINDOW_SIZES
#                     page or record counts of the later sections (defaults "5001 10000 100000",
#                     "10000 100000", "10000 100000", "10000")
#   BENCH_MILLION_SIZES  short-record counts of the section "million" (default "100000 1000000")
#   BENCH_REFERENCE_LINK_SIZES, BENCH_REFERENCE_INDEX_SIZES, BENCH_REFERENCE_YEARBOOK_SIZES
#                     sizes at which the section "reference" times the page-by-page reference runs
#                     (defaults "500 1000", "1000 10000", "1000 2000"); BENCH_SECTIONS must name it
#   BENCH_WORK        where the files go (default BUILD_DIR/bench-work)
#   BENCH_KEEP=1      keep the generated files instead of removing them at the end
#   BENCH_CLI         the command-line program measured (default BUILD_DIR/bin/pagewright-cli)
set -euo pipefail

build=${1:-build-release}
build=$(cd "$build" && pwd)
tool="$build/bench/pagewright-bench"
cli=${BENCH_CLI:-"$build/bin/pagewright-cli"}
sizes=${BENCH_SIZES:-"1000 10000 100000"}
reps_small=${BENCH_REPS:-5}
reps_large=${BENCH_REPS_LARGE:-3}
sections=${BENCH_SECTIONS:-"pages links index yearbook long million window reference"}
link_sizes=${BENCH_LINK_SIZES:-"5001 10000 100000"}
million_sizes=${BENCH_MILLION_SIZES:-"100000 1000000"}
index_sizes=${BENCH_INDEX_SIZES:-"10000 100000"}
yearbook_sizes=${BENCH_YEARBOOK_SIZES:-"10000 100000"}
window_sizes=${BENCH_WINDOW_SIZES:-"10000"}
window_bench="$build/tools/pagewright-window-bench"
reference_runs="$build/bench/pagewright-bench-reference"
reference_link_sizes=${BENCH_REFERENCE_LINK_SIZES:-"500 1000"}
reference_index_sizes=${BENCH_REFERENCE_INDEX_SIZES:-"1000 10000"}
reference_yearbook_sizes=${BENCH_REFERENCE_YEARBOOK_SIZES:-"1000 2000"}
work_root=${BENCH_WORK:-"$build/bench-work"}

for program in "$tool" "$cli"; do
    if [ ! -x "$program" ]; then
        echo "bench: $program is missing; build it first (make bench)" >&2
        exit 2
    fi
done

# Every run gets a directory of its own, created up front, and the files are removed only at
# the very end: creating many files right after deleting many is erratic.
mkdir -p "$work_root"
work=$(mktemp -d "$work_root/run.XXXXXX")
cleanup() {
    if [ "${BENCH_KEEP:-0}" != 1 ]; then
        echo "bench: removing $work" >&2
        rm -rf "$work"
    fi
}
trap cleanup EXIT

# The command line must never see the user's settings, registry or home directory.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
export PAGEWRIGHT_INI="$work/config/PgWright.ini" PAGEWRIGHT_REGISTRY="$work/config/registry.reg"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
results="$work/results"
mkdir -p "$results"

"$tool" model pages "$work/model.htm"
"$tool" model links "$work/model-links.htm"
"$tool" model yearbook "$work/yearbook-model.htm"
"$tool" model small "$work/small-model.htm"

# ---------------------------------------------------------------------------------------------
# Helpers

reps_for() { # N
    if [ "$1" -ge 50000 ]; then echo "$reps_large"; else echo "$reps_small"; fi
}

commas() { # 1234567 -> 1,234,567
    echo "$1" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta'
}

# timed KEY -- PROGRAM ARGS...: runs the program under the timer after flushing earlier
# writes, appends "ms rss status" to $results/KEY, keeps its output in $results/last.out.
timed() {
    local key=$1
    shift 2
    sync
    local status=0
    "$tool" time "$results/last.time" -- "$@" >"$results/last.out" 2>"$results/last.err" || status=$?
    if [ "$status" != 0 ]; then
        echo "bench: $key: exit status $status: $(head -c 300 "$results/last.err")" >&2
    fi
    cat "$results/last.time" >>"$results/$key"
}

median_of() { # reads numbers, prints their median
    sort -g | awk '{v[NR] = $1} END {
        if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2];
        else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ms_of() { cut -d' ' -f1 "$results/$1" | median_of; }
rss_of() { cut -d' ' -f2 "$results/$1" | sort -n | tail -1; }
range_of() { cut -d' ' -f1 "$results/$1" | sort -g | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%.0f-%.0f", lo, hi}'; }
cpu_total_of() { # KEY -> median of user + sys in ms
    awk 'NF >= 5 {print $4 + $5}' "$results/$1" | median_of
}
cpu_of() { # KEY -> "user/sys" medians in ms
    local user sys
    user=$(awk 'NF >= 5 {print $4}' "$results/$1" | median_of)
    sys=$(awk 'NF >= 5 {print $5}' "$results/$1" | median_of)
    awk -v u="$user" -v s="$sys" 'BEGIN {if (u == "nan") print "-"; else printf "%.0f/%.0f", u, s}'
}

# The summary line's counts: "written unchanged failed" from "Files: W written, U unchanged, ...".
summary_counts() {
    sed -n 's/^Files: \([0-9]*\) written, \([0-9]*\) unchanged, \([0-9]*\) not written.*/\1 \2 \3/p' \
        "$results/last.out"
}

manifest_of() { # DIR -> "size name" of its visible files, in name order
    find "$1" -maxdepth 1 -type f ! -name '.*' -printf '%s %f\n' | sort -k2
}

table_header() {
    printf '%9s  %-40s %11s %13s %11s %9s %9s %9s  %-7s %-7s %s\n' \
        N measurement "median ms" "(min-max)" "user/sys ms" "ms/file" "files/s" "peak KB" "x floor" "cpu x" target
}

# row N FILES LABEL KEY [FLOOR_KEY TARGET_RATIO]: one line of a table; FILES is what ms/file
# and files/s count (pages, or pages read).
row() {
    local n=$1 files=$2 label=$3 key=$4 floor=${5:-} target=${6:-}
    local ms rss ratio="" cpu_ratio="" verdict=""
    ms=$(ms_of "$key")
    rss=$(rss_of "$key")
    if [ -n "$floor" ]; then
        ratio=$(awk -v a="$ms" -v b="$(ms_of "$floor")" 'BEGIN {printf "%.2fx", a / b}')
        cpu_ratio=$(awk -v a="$(cpu_total_of "$key")" -v b="$(cpu_total_of "$floor")" \
            'BEGIN {if (a == "nan" || b == "nan" || b == 0) print "-"; else printf "%.2fx", a / b}')
        if [ -n "$target" ]; then
            verdict=$(awk -v a="$ms" -v b="$(ms_of "$floor")" -v t="$target" \
                'BEGIN {printf "<=%sx %s", t, (a / b <= t ? "PASS" : "MISS")}')
        fi
    fi
    printf '%9s  %-40s %11.1f %13s %11s %9.4f %9.0f %9s  %-7s %-7s %s\n' "$(commas "$n")" "$label" "$ms" \
        "($(range_of "$key"))" "$(cpu_of "$key")" "$(awk -v m="$ms" -v f="$files" 'BEGIN {print m / f}')" \
        "$(awk -v m="$ms" -v f="$files" 'BEGIN {print f / m * 1000}')" "$rss" "$ratio" "$cpu_ratio" "$verdict"
}

targets=()
target_line() { targets+=("$1"); }

# ---------------------------------------------------------------------------------------------
# Pages run

# The options of every pages run measured here, after its data, model and destination.
pages_options=(--separator ';' --name-tags first --title-tag second --lang en --quiet)

pages_cmd() { # DATA DEST
    "$cli" pages --data "$1" --model "$work/model.htm" --dest "$2" --separator ';' \
        --name-tags first --title-tag second --lang en --quiet
}

make_pages() { # N: data file and one finished set of pages in $work/pages-N/run-0
    local n=$1 d="$work/pages-$1"
    if [ -d "$d/run-0" ]; then
        return
    fi
    mkdir -p "$d/run-0"
    "$tool" data "$n" "$d/data.txt"
    pages_cmd "$d/data.txt" "$d/run-0" >/dev/null
}

bench_pages() { # N
    local n=$1 d="$work/pages-$1" reps r
    reps=$(reps_for "$n")
    mkdir -p "$d"
    for r in $(seq 1 "$reps"); do
        mkdir -p "$d/run-$r" "$d/floor-$r" "$d/floor-atomic-$r" "$d/floor-checked-$r" "$d/floor-linktmp-$r"
    done
    # A first untimed run warms the caches and gives the sizes the floor writes.
    make_pages "$n"
    manifest_of "$d/run-0" >"$d/manifest"
    if [ "$(wc -l <"$d/manifest")" != "$n" ]; then
        echo "bench: the pages run wrote $(wc -l <"$d/manifest") pages for $n records" >&2
    fi

    local first_ok=yes
    for r in $(seq 1 "$reps"); do
        timed "pages-first-$n" -- "$cli" pages --data "$d/data.txt" --model "$work/model.htm" \
            --dest "$d/run-$r" --separator ';' --name-tags first --title-tag second --lang en --quiet
        if [ "$(summary_counts)" != "$n 0 0" ]; then
            first_ok="no ($(summary_counts))"
        fi
        timed "floor-new-$n" -- "$tool" floor new "$d/floor-$r" "$d/manifest"
        timed "floor-atomic-$n" -- "$tool" floor rename "$d/floor-atomic-$r" "$d/manifest"
        timed "floor-checked-$n" -- "$tool" floor checked "$d/floor-checked-$r" "$d/manifest"
        timed "floor-linktmp-$n" -- "$tool" floor linktmp "$d/floor-linktmp-$r" "$d/manifest"
    done

    # Which pages the update run touches: inode and modification time of a sample of pages.
    local step=$((n / 200 > 0 ? n / 200 : 1))
    "$tool" names "$n" | awk -v s="$step" '(NR - 1) % s == 0' >"$d/sample"
    (cd "$d/run-1" && xargs stat -c '%i %y %n' <"$d/sample") >"$d/sample.before"

    local update_counts="" update_ok=yes
    for r in $(seq 1 "$reps"); do
        timed "floor-rename-$n" -- "$tool" floor rename "$d/floor-$r" "$d/manifest"
        timed "floor-inplace-$n" -- "$tool" floor inplace "$d/floor-$r" "$d/manifest"
        # The update run and its floor read the same pages, back to back and in turns first:
        # the writes before them (freed blocks, discards) slow whichever comes first on a busy
        # disk. One untimed read first pays for the access times that the first read after a
        # write updates, and brings back any page the cache let go, for both of them.
        "$tool" floor readlist "$d/run-$r" "$d/manifest"
        if [ $((r % 2)) = 0 ]; then
            timed "floor-read-$n" -- "$tool" floor readlist "$d/run-$r" "$d/manifest"
        fi
        timed "pages-update-$n" -- "$cli" pages --data "$d/data.txt" --model "$work/model.htm" \
            --dest "$d/run-$r" --separator ';' --name-tags first --title-tag second --lang en --quiet
        update_counts=$(summary_counts)
        if [ "$update_counts" != "0 $n 0" ]; then
            update_ok="no"
        fi
        if [ $((r % 2)) = 1 ]; then
            timed "floor-read-$n" -- "$tool" floor readlist "$d/run-$r" "$d/manifest"
        fi
    done
    (cd "$d/run-1" && xargs stat -c '%i %y %n' <"$d/sample") >"$d/sample.after"
    local sampled kept
    sampled=$(wc -l <"$d/sample.before")
    kept=$(comm -12 <(sort "$d/sample.before") <(sort "$d/sample.after") | wc -l)
    if [ "$kept" != "$sampled" ]; then
        update_ok=no
    fi
    # Changed run: every title differs, so every page is replaced (renamed over).
    "$tool" data "$n" "$d/data-edition1.txt" 1
    local changed_ok=yes
    # The run replaces each page after reading it; the second floor does the same, the first
    # only writes. The run and the floors in turns first.
    for r in $(seq 1 "$reps"); do
        if [ $((r % 2)) = 0 ]; then
            timed "floor-replace-$n" -- "$tool" floor rename "$d/floor-$r" "$d/manifest"
            timed "floor-readreplace-$n" -- "$tool" floor readrename "$d/floor-$r" "$d/manifest"
        fi
        timed "pages-changed-$n" -- "$cli" pages --data "$d/data-edition1.txt" --model "$work/model.htm" \
            --dest "$d/run-$r" "${pages_options[@]}"
        if [ "$(summary_counts)" != "$n 0 0" ]; then
            changed_ok="no ($(summary_counts))"
        fi
        if [ $((r % 2)) = 1 ]; then
            timed "floor-replace-$n" -- "$tool" floor rename "$d/floor-$r" "$d/manifest"
            timed "floor-readreplace-$n" -- "$tool" floor readrename "$d/floor-$r" "$d/manifest"
        fi
    done
    echo "$n|$first_ok|$update_ok|$update_counts|$kept|$sampled|$changed_ok" >>"$results/pages-checks"
    if [ ! -s "$results/pages-calls" ]; then
        pages_calls "$n"
    fi
}

# pages_calls N: the system calls per page of each variant of the pages run (counted by a
# counting wrapper of the file-system layer, the run in one process) and of their floors (which
# count their own), in directories of their own.
pages_calls() {
    local n=$1 d="$work/pages-$1" c="$work/pages-$1/calls"
    mkdir -p "$c/run" "$c/floor-new" "$c/floor-old"
    local fresh unchanged changed
    fresh=$("$tool" calls "$d/data.txt" "$work/model.htm" "$c/run")
    unchanged=$("$tool" calls "$d/data.txt" "$work/model.htm" "$c/run")
    changed=$("$tool" calls "$d/data-edition1.txt" "$work/model.htm" "$c/run")
    "$tool" floor new "$c/floor-old" "$d/manifest"
    "$tool" floor --calls "$c/rename-new" rename "$c/floor-new" "$d/manifest"
    "$tool" floor --calls "$c/read" readlist "$c/floor-old" "$d/manifest"
    "$tool" floor --calls "$c/rename-over" rename "$c/floor-old" "$d/manifest"
    {
        echo "fresh|$fresh|temp + rename to new names|$(cat "$c/rename-new")"
        echo "unchanged|$unchanged|read each page once|$(cat "$c/read")"
        echo "changed|$changed|temp + rename over existing|$(cat "$c/rename-over")"
    } >"$results/pages-calls"
    echo "$n" >"$results/pages-calls-size"
}

report_pages() {
    local n
    echo
    echo "== Pages run: pagewright-cli pages, 12 columns, model of $(wc -c <"$work/model.htm") bytes" \
        "and $(wc -l <"$work/model.htm") lines with 10 regions"
    echo "   Whole processes (start-up included), medians of $reps_small runs ($reps_large at" \
        "50,000 files and more); range in brackets."
    echo "   First run: new pages in an empty directory, against the floor 'temp + rename to new names',"
    echo "   the least a script must do to write each page whole ('create new files' writes them"
    echo "   without that guarantee; 'same + lookup + lock' makes the system calls pages made for a new"
    echo "   page before it wrote them unnamed; 'unnamed file + link' is how pages writes them now)."
    echo "   Update run: same data over the existing pages, against the floor 'read each page once'"
    echo "   (the same pages, after one untimed read of them, run and floor in turns first);"
    echo "   the in-place and rename floors are shown for comparison. Changed run: every title new,"
    echo "   against the floor 'temp + rename over existing' (how a changed page is replaced whole);"
    echo "   'read, then temp + rename over' also reads the page it replaces first, as an update must."
    table_header
    for n in $sizes; do
        local t1=""
        if [ "$n" -ge 10000 ]; then t1=1.0; fi
        if [ "$n" -ge 100000 ]; then t1=0.9; fi
        row "$n" "$n" "pages, first run (empty directory)" "pages-first-$n" "floor-atomic-$n" "$t1"
        row "$n" "$n" "  floor: create new files" "floor-new-$n"
        row "$n" "$n" "  floor: temp + rename to new names" "floor-atomic-$n"
        row "$n" "$n" "  floor: same + lookup + lock (as pages)" "floor-checked-$n"
        row "$n" "$n" "  floor: unnamed file (O_TMPFILE) + link" "floor-linktmp-$n"
        awk -v a="$(ms_of "pages-first-$n")" -v b="$(ms_of "floor-atomic-$n")" \
            -v c="$(ms_of "floor-checked-$n")" -v d="$(ms_of "floor-linktmp-$n")" \
            'BEGIN {printf "%9s  first run: %.2fx temp + rename, %.2fx the same system calls as pages, %.2fx unnamed file + link\n", "", a / b, a / c, a / d}'
        row "$n" "$n" "pages, update run (unchanged data)" "pages-update-$n" "floor-read-$n" 1.3
        row "$n" "$n" "  floor: temp + rename over existing" "floor-rename-$n"
        row "$n" "$n" "  floor: overwrite in place + ftruncate" "floor-inplace-$n"
        row "$n" "$n" "  floor: read each page once" "floor-read-$n"
        awk -v a="$(ms_of "pages-update-$n")" -v b="$(ms_of "floor-inplace-$n")" \
            -v c="$(ms_of "floor-read-$n")" \
            'BEGIN {printf "%9s  update run: %.2fx the in-place floor, %.2fx the read-only floor\n", "", a / b, a / c}'
        row "$n" "$n" "pages, changed run (every title new)" "pages-changed-$n" "floor-replace-$n" 1.0
        row "$n" "$n" "  floor: temp + rename over existing" "floor-replace-$n"
        row "$n" "$n" "  floor: read, then temp + rename over" "floor-readreplace-$n"
        awk -v a="$(ms_of "pages-changed-$n")" -v b="$(ms_of "floor-readreplace-$n")" \
            'BEGIN {printf "%9s  changed run: %.2fx the floor that also reads each page it replaces\n", "", a / b}'
        if [ "$n" -ge 10000 ]; then
            local fresh_target=1.0
            if [ "$n" -ge 100000 ]; then fresh_target=0.9; fi
            target_line "$(awk -v n="$(commas "$n")" -v a="$(ms_of "pages-first-$n")" -v b="$(ms_of "floor-atomic-$n")" -v t="$fresh_target" \
                -v ca="$(cpu_total_of "pages-first-$n")" -v cb="$(cpu_total_of "floor-atomic-$n")" \
                'BEGIN {printf "pages, fresh, %s pages: %.0f ms, %.2fx the temp + rename floor (%.0f ms; target <= %.1fx) %s; processor time %.2fx", n, a, a / b, b, t, (a / b <= t ? "PASS" : "MISS"), ca / cb}')"
        fi
        target_line "$(awk -v n="$(commas "$n")" -v a="$(ms_of "pages-update-$n")" -v b="$(ms_of "floor-read-$n")" \
            'BEGIN {printf "pages, unchanged update, %s pages: %.0f ms, %.2fx the floor of reading every page once (%.0f ms; target <= 1.3x) %s", n, a, a / b, b, (a / b <= 1.3 ? "PASS" : "MISS")}')"
        target_line "$(awk -v n="$(commas "$n")" -v a="$(ms_of "pages-changed-$n")" -v b="$(ms_of "floor-replace-$n")" \
            -v c="$(ms_of "floor-readreplace-$n")" \
            'BEGIN {printf "pages, every page changed, %s pages: %.0f ms, %.2fx the temp + rename over existing floor (%.0f ms; target <= 1.0x) %s; stretch <= 0.5x %s; %.2fx the floor that also reads each page (%.0f ms)", n, a, a / b, b, (a / b <= 1.0 ? "PASS" : "MISS"), (a / b <= 0.5 ? "PASS" : "MISS"), a / c, c}')"
    done
    echo
    echo "   Update run over unchanged data rewrote no file (summary line of the command, and inode +"
    echo "   modification time of a sample of pages before and after all update runs):"
    local line n first update counts kept sampled changed
    while IFS='|' read -r n first update counts kept sampled changed; do
        read -r w u f <<<"$counts"
        printf '%9s  first run wrote every page: %s; update: %s written, %s unchanged, %s not written;' \
            "$(commas "$n")" "$first" "$w" "$u" "$f"
        printf ' %s/%s sampled pages untouched: %s; changed run wrote every page: %s\n' "$kept" "$sampled" \
            "$([ "$update" = yes ] && echo PASS || echo MISS)" "$changed"
        target_line "update run at $(commas "$n") rewrote no file: $([ "$update" = yes ] && echo PASS || echo MISS)"
    done <"$results/pages-checks"

    if [ -s "$results/pages-calls" ]; then
        echo
        echo "   System calls per page at $(commas "$(cat "$results/pages-calls-size")") pages (pagewright-bench calls: the pages run in one"
        echo "   process through a counting wrapper of the file-system layer; each floor counts its own calls):"
        printf '%9s  %-10s %10s  %-30s %10s  %s\n' "" variant "calls/page" floor "calls/page" "the run's calls per page"
        local variant run floor floor_calls
        while IFS='|' read -r variant run floor floor_calls; do
            printf '%9s  %-10s %10s  %-30s %10s  %s\n' "" "$variant" "$(echo "$run" | cut -d' ' -f3)" "$floor" \
                "$(echo "$floor_calls" | cut -d' ' -f3)" "$(echo "$run" | cut -d' ' -f4-)"
            target_line "system calls per page, $variant: $(echo "$run" | cut -d' ' -f3) (floor '$floor': $(echo "$floor_calls" | cut -d' ' -f3))"
        done <"$results/pages-calls"
    fi

    local low high
    low=$(echo "$sizes" | tr ' ' '\n' | sort -n | head -1)
    high=$(echo "$sizes" | tr ' ' '\n' | sort -n | tail -1)
    if [ "$low" != "$high" ]; then
        local kind
        for kind in first update; do
            target_line "$(awk -v lo="$(rss_of "pages-$kind-$low")" -v hi="$(rss_of "pages-$kind-$high")" \
                -v nl="$(commas "$low")" -v nh="$(commas "$high")" -v k="$kind" \
                'BEGIN {printf "peak memory of the %s run: %s KB at %s, %s KB at %s (%+.1f%%, target within 10%%) %s", k, lo, nl, hi, nh, (hi / lo - 1) * 100, (hi <= lo * 1.10 ? "PASS" : "MISS")}')"
        done
    fi
}

# ---------------------------------------------------------------------------------------------
# Later runs: each is probed on a few pages first and skipped when the command does not do it yet.

probe_dir() { mkdir -p "$work/probe-$1" && echo "$work/probe-$1"; }

links_available() {
    local p
    p=$(probe_dir links)
    mkdir -p "$p/pages"
    "$tool" data 10 "$p/data.txt"
    "$cli" pages --data "$p/data.txt" --model "$work/model-links.htm" --dest "$p/pages" \
        --separator ';' --name-tags first --title-tag second --lang en --quiet >/dev/null 2>&1 || return 1
    "$cli" links --dir "$p/pages" --link-tag 2 --text-tag 3 --lang en --quiet >/dev/null 2>&1 || return 1
    grep -q 'item-0000010.htm' "$p/pages/item-0000005.htm"
}

index_available() {
    local p
    p=$(probe_dir index)
    mkdir -p "$p/pages" "$p/index"
    "$tool" data 10 "$p/data.txt"
    pages_cmd "$p/data.txt" "$p/pages" >/dev/null 2>&1 || return 1
    "$cli" index --source "$p/pages" --dest "$p/index" --criterion-tag 4 --text-tag 3 --lang en \
        --quiet >/dev/null 2>&1 || return 1
    [ -f "$p/index/index_Town-001.htm" ]
}

yearbook_available() {
    local p
    p=$(probe_dir yearbook)
    mkdir -p "$p/out"
    "$tool" data 3 "$p/data.txt"
    "$cli" yearbook --data "$p/data.txt" --model "$work/yearbook-model.htm" --dest "$p/out" \
        --separator ';' --lang en --quiet >/dev/null 2>&1 || return 1
    [ -f "$p/out/Index_One_Page.htm" ] && grep -q 'item-0000003' "$p/out/Index_One_Page.htm"
}

# Files whose inode, size or modification time changed between two listings.
changed_manifest() { # BEFORE AFTER -> "size name"
    comm -13 <(sort "$1") <(sort "$2") | awk '{print $2, $4}' | sort -k2
}
listing_of() { find "$1" -maxdepth 1 -type f ! -name '.*' -printf '%i %s %T@ %f\n'; }

bench_links() { # N
    local n=$1 d="$work/links-$1" reps r
    reps=$(reps_for "$n")
    mkdir -p "$d/source"
    "$tool" data "$n" "$d/data.txt"
    "$cli" pages --data "$d/data.txt" --model "$work/model-links.htm" --dest "$d/source" \
        --separator ';' --name-tags first --title-tag second --lang en --quiet >/dev/null
    for r in $(seq 0 "$reps"); do
        mkdir -p "$d/run-$r" "$d/floor-$r"
        cp -a "$d/source/." "$d/run-$r/"
        cp -a "$d/source/." "$d/floor-$r/"
    done
    listing_of "$d/run-0" >"$d/before"
    "$cli" links --dir "$d/run-0" --link-tag 2 --text-tag 3 --lang en --quiet >/dev/null
    listing_of "$d/run-0" >"$d/after"
    changed_manifest "$d/before" "$d/after" >"$d/manifest"
    echo "$n $(wc -l <"$d/manifest")" >>"$results/links-changed"
    for r in $(seq 1 "$reps"); do
        timed "links-$n" -- "$cli" links --dir "$d/run-$r" --link-tag 2 --text-tag 3 --lang en --quiet
        timed "floor-links-$n" -- "$tool" floor readdir "$d/floor-$r" rename "$d/floor-$r" "$d/manifest"
    done
}

bench_index() { # N
    local n=$1 d="$work/index-$1" reps r
    reps=$(reps_for "$n")
    for r in $(seq 0 "$reps"); do
        mkdir -p "$d/run-$r" "$d/floor-$r"
    done
    make_pages "$n"
    local source="$work/pages-$n/run-0"
    "$cli" index --source "$source" --dest "$d/run-0" --criterion-tag 4 --text-tag 3 --lang en --quiet >/dev/null
    manifest_of "$d/run-0" >"$d/manifest"
    echo "$n $(wc -l <"$d/manifest")" >>"$results/index-written"
    for r in $(seq 1 "$reps"); do
        timed "index-$n" -- "$cli" index --source "$source" --dest "$d/run-$r" --criterion-tag 4 \
            --text-tag 3 --lang en --quiet
        timed "floor-index-$n" -- "$tool" floor readdir "$source" new "$d/floor-$r" "$d/manifest"
    done
}

bench_yearbook() { # N
    # A run of tens of milliseconds: many runs, so that the medians hold against a busy disk.
    local n=$1 d="$work/yearbook-$1" reps=15 r
    for r in $(seq 0 "$reps"); do
        mkdir -p "$d/run-$r" "$d/floor-$r"
    done
    "$tool" data "$n" "$d/data.txt"
    local model="$work/yearbook-model.htm"
    "$cli" yearbook --data "$d/data.txt" --model "$model" --dest "$d/run-0" --separator ';' \
        --lang en --quiet >/dev/null
    manifest_of "$d/run-0" >"$d/manifest"
    echo "$n $(awk '$2 == "Index_One_Page.htm" {print $1}' "$d/manifest")" >>"$results/yearbook-size"
    # The run and its floor in turns first.
    for r in $(seq 1 "$reps"); do
        if [ $((r % 2)) = 0 ]; then
            timed "floor-yearbook-$n" -- "$tool" floor readfile "$d/data.txt" readfile "$model" \
                new "$d/floor-$r" "$d/manifest"
        fi
        timed "yearbook-$n" -- "$cli" yearbook --data "$d/data.txt" --model "$model" \
            --dest "$d/run-$r" --separator ';' --lang en --quiet
        if [ $((r % 2)) = 1 ]; then
            timed "floor-yearbook-$n" -- "$tool" floor readfile "$d/data.txt" readfile "$model" \
                new "$d/floor-$r" "$d/manifest"
        fi
    done
}

# growth LABEL KEY_PREFIX LISTING: time of the largest input against the smallest, set against
# the input ratio (target: at most 1.2 times the input ratio, e.g. 12x for 10x the input).
growth() {
    local lo hi
    lo=$(cut -d' ' -f1 "$3" | sort -n | head -1)
    hi=$(cut -d' ' -f1 "$3" | sort -n | tail -1)
    if [ "$lo" = "$hi" ]; then
        return
    fi
    target_line "$(awk -v a="$(ms_of "$2$lo")" -v b="$(ms_of "$2$hi")" -v na="$lo" -v nb="$hi" -v l="$1" \
        -v ca="$(cpu_total_of "$2$lo")" -v cb="$(cpu_total_of "$2$hi")" \
        'BEGIN {r = b / a; k = nb / na; c = cb / ca; printf "%s growth: %.1fx the input takes %.1fx the time (target <= %.1fx) %s; processor time %.1fx %s", l, k, r, k * 1.2, (r <= k * 1.2 ? "PASS" : "MISS"), c, (c <= k * 1.2 ? "PASS" : "MISS")}')"
}

report_links() {
    echo
    echo "== Cross-links: pagewright-cli links --link-tag 2 --text-tag 3 (a fifth of the pages share"
    echo "   their link value in sets of five); floor: read every page once (directory listing) and"
    echo "   write the pages the run changed, each through temp + rename over the existing page."
    table_header
    local n changed
    while read -r n changed; do
        row "$n" "$n" "links ($(commas "$changed") pages changed)" "links-$n" "floor-links-$n" 1.1
        row "$n" "$n" "  floor: read all + rewrite changed" "floor-links-$n"
        target_line "$(awk -v n="$(commas "$n")" -v a="$(ms_of "links-$n")" -v b="$(ms_of "floor-links-$n")" \
            'BEGIN {printf "cross-links, %s pages: %.0f ms, %.2fx the floor (%.0f ms; target <= 1.1x) %s", n, a, a / b, b, (a / b <= 1.1 ? "PASS" : "MISS")}')"
        if [ "$n" = 5001 ]; then
            target_line "$(awk -v a="$(ms_of "links-$n")" \
                'BEGIN {printf "links over 5,001 pages under 1 s: %.0f ms %s", a, (a < 1000 ? "PASS" : "MISS")}')"
        fi
    done <"$results/links-changed"
    growth "links" "links-" "$results/links-changed"
}

report_index() {
    echo
    echo "== Index pages: pagewright-cli index --criterion-tag 4 --text-tag 3 (100 criteria);"
    echo "   floor: read every page once (directory listing) and create the same index pages."
    table_header
    local n written
    while read -r n written; do
        row "$n" "$n" "index ($written index pages)" "index-$n" "floor-index-$n" 3
        row "$n" "$n" "  floor: read all + create index pages" "floor-index-$n"
        target_line "$(awk -v n="$(commas "$n")" -v a="$(ms_of "index-$n")" -v b="$(ms_of "floor-index-$n")" \
            'BEGIN {printf "index over %s pages: %.2fx the floor (target <= 3x) %s", n, a / b, (a / b <= 3 ? "PASS" : "MISS")}')"
    done <"$results/index-written"
    growth "index" "index-" "$results/index-written"
}

report_yearbook() {
    echo
    echo "== Yearbook: pagewright-cli yearbook; floor: read the data file and the model once and"
    echo "   create the same files (the page and its background picture). Medians of 15 runs, the"
    echo "   run and its floor in turns first."
    table_header
    local n size
    while read -r n size; do
        row "$n" "$n" "yearbook (page of $(commas "$size") bytes)" "yearbook-$n" "floor-yearbook-$n" 2
        row "$n" "$n" "  floor: read data + model, write page" "floor-yearbook-$n"
        target_line "$(awk -v n="$(commas "$n")" -v a="$(ms_of "yearbook-$n")" -v b="$(ms_of "floor-yearbook-$n")" \
            'BEGIN {printf "yearbook, %s records: %.0f ms, %.2fx the floor (%.0f ms; target <= 2x) %s", n, a, a / b, b, (a / b <= 2 ? "PASS" : "MISS")}')"
    done <"$results/yearbook-size"
    growth "yearbook" "yearbook-" "$results/yearbook-size"
}

# A page of 100 MB: the pages run over a model holding a line of 100 MB (three pages), then again
# over the pages it wrote, which must be left untouched; peak memory against the page's size.
bench_long() {
    local d="$work/long" reps=3 r
    mkdir -p "$d"
    "$tool" model long-line "$d/model.htm"
    "$tool" data 3 "$d/data.txt"
    for r in $(seq 1 "$reps"); do
        mkdir -p "$d/run-$r"
        timed "long-first" -- "$cli" pages --data "$d/data.txt" --model "$d/model.htm" --dest "$d/run-$r" \
            "${pages_options[@]}"
    done
    local before after ok=yes counts=""
    before=$(stat -c '%i %Y %n' "$d"/run-*/*.htm)
    for r in $(seq 1 "$reps"); do
        timed "long-update" -- "$cli" pages --data "$d/data.txt" --model "$d/model.htm" --dest "$d/run-$r" \
            "${pages_options[@]}"
        counts=$(summary_counts)
        if [ "$counts" != "0 3 0" ]; then ok="no ($counts)"; fi
    done
    after=$(stat -c '%i %Y %n' "$d"/run-*/*.htm)
    if [ "$before" != "$after" ]; then ok="no (inode or time changed)"; fi
    echo "$(stat -c %s "$d/run-1/item-0000001.htm")|$ok" >"$results/long-checks"
}

report_long() {
    local size ok
    IFS='|' read -r size ok <"$results/long-checks"
    echo
    echo "== A page of $(commas "$size") bytes: pagewright-cli pages over a model holding a line of 100 MB (three"
    echo "   pages), then again over those pages; peak memory against the page's size."
    table_header
    row 3 3 "pages, first run" "long-first"
    row 3 3 "pages, again (pages unchanged)" "long-update"
    echo "          identical pages of 100 MB left untouched (summary, inode and modification time): $ok"
    local kind
    for kind in first update; do
        target_line "$(awk -v p="$(rss_of "long-$kind")" -v s="$size" -v k="$kind" \
            'BEGIN {printf "a page of 100 MB, %s run: peak memory %.0f KB, %.2fx the page (%.0f KB; target <= 2x) %s", k, p, p * 1024 / s, s / 1024, (p * 1024 <= 2 * s ? "PASS" : "MISS")}')"
    done
    target_line "identical pages of 100 MB left untouched: $([ "$ok" = yes ] && echo PASS || echo "MISS: $ok")"
}

# Short records: a pages run of N records of a name and a title each, one small page per
# record, in an empty directory; time per page and peak memory.
bench_million() { # N
    local n=$1 d="$work/million-$1" reps r ok=yes
    reps=$(reps_for "$n")
    mkdir -p "$d"
    "$tool" short "$n" "$d/data.txt"
    for r in $(seq 1 "$reps"); do
        mkdir -p "$d/run-$r" "$d/floor-$r"
    done
    # The floor writes the same files the same way (an unnamed file linked to its name), so the
    # cost of a name in a directory of this size shows apart from the run's own.
    for r in $(seq 1 "$reps"); do
        timed "million-$n" -- "$cli" pages --data "$d/data.txt" --model "$work/small-model.htm" \
            --dest "$d/run-$r" "${pages_options[@]}"
        if [ "$(summary_counts)" != "$n 0 0" ]; then ok="no ($(summary_counts))"; fi
        if [ ! -s "$d/manifest" ]; then
            manifest_of "$d/run-1" >"$d/manifest"
        fi
        timed "floor-million-$n" -- "$tool" floor linktmp "$d/floor-$r" "$d/manifest"
    done
    echo "$n|$ok" >>"$results/million-checks"
}

report_million() {
    echo
    echo "== Short records: pagewright-cli pages, one page of $(wc -c <"$work/small-model.htm") bytes' model per record of"
    echo "   two short columns, into an empty directory."
    table_header
    local n ok low="" high=""
    while IFS='|' read -r n ok; do
        row "$n" "$n" "pages, short records" "million-$n" "floor-million-$n"
        row "$n" "$n" "  floor: unnamed file (O_TMPFILE) + link" "floor-million-$n"
        echo "          wrote every page: $ok"
        if [ -z "$low" ]; then low=$n; fi
        high=$n
    done <"$results/million-checks"
    target_line "$(awk -v p="$(rss_of "million-$high")" -v n="$(commas "$high")" \
        'BEGIN {printf "a pages run of %s short records: peak memory %.1f MB (target under 10 MB) %s", n, p / 1024, (p < 10 * 1024 ? "PASS" : "MISS")}')"
    if [ "$low" != "$high" ]; then
        target_line "$(awk -v a="$(ms_of "million-$low")" -v b="$(ms_of "million-$high")" -v na="$low" -v nb="$high" \
            'BEGIN {x = (b / nb) / (a / na); printf "time per page at %d records %.4f ms, at %d records %.4f ms: %.2fx (target within 1.2x) %s", nb, b / nb, na, a / na, x, (x <= 1.2 ? "PASS" : "MISS")}')"
        awk -v a="$(ms_of "floor-million-$low")" -v b="$(ms_of "floor-million-$high")" -v na="$low" -v nb="$high" \
            -v ra="$(ms_of "million-$low")" -v rb="$(ms_of "million-$high")" \
            'BEGIN {x = (b / nb) / (a / na); printf "%9s  the floor'"'"'s time per file grows %.2fx from %d to %d files (%.4f to %.4f ms); the run'"'"'s, against its floor: %.2fx at %d, %.2fx at %d\n", "", x, na, nb, a / na, b / nb, ra / a, na, rb / b, nb}'
    fi
}

# The pages run started from the window (offscreen, Start clicked) against the command line on
# the same records, runs interleaved so that both see the same machine. The window program
# prints the seconds its Start click took, which leaves out the toolkit's start-up.
bench_window() { # N
    local n=$1 d="$work/window-$1" reps r
    reps=$(reps_for "$n")
    mkdir -p "$d"
    "$tool" data "$n" "$d/data.txt"
    for r in $(seq 1 "$reps"); do
        mkdir -p "$d/window-$r" "$d/cli-$r"
    done
    local kind
    for kind in first update; do
        for r in $(seq 1 "$reps"); do
            timed "window-$kind-$n" -- "$window_bench" --data "$d/data.txt" --model "$work/model.htm" \
                --dest "$d/window-$r/" --separator ';' --lang en
            awk '{printf "%.1f\n", $1 * 1000}' "$results/last.out" >>"$results/window-click-$kind-$n"
            timed "cli-$kind-$n" -- "$cli" pages --data "$d/data.txt" --model "$work/model.htm" \
                --dest "$d/cli-$r" --separator ';' --name-tags first --title-tag second --lang en --quiet
        done
    done
    local same=yes
    diff -r "$d/window-1" "$d/cli-1" >/dev/null || same=no
    echo "$n $same" >>"$results/window-checks"
}

report_window() {
    echo
    echo "== Window: the pages run started with the Start button of the window (offscreen), against"
    echo "   pagewright-cli pages on the same records and model; both write every page (first run,"
    echo "   empty directory), then run again over the pages they wrote (update run). 'Start click'"
    echo "   is the time inside the click; the whole window process adds the toolkit's start-up."
    table_header
    local n same kind
    while read -r n same; do
        for kind in first update; do
            local click
            click=$(median_of <"$results/window-click-$kind-$n")
            row "$n" "$n" "pages, $kind run: command line" "cli-$kind-$n"
            row "$n" "$n" "  window, whole process" "window-$kind-$n" "cli-$kind-$n"
            awk -v n="$(commas "$n")" -v f="$n" -v c="$click" -v b="$(ms_of "cli-$kind-$n")" \
                'BEGIN {printf "%9s  %-40s %11.1f %13s %11s %9.4f %9.0f %9s  %-7s\n", n, "  window, Start click only", c, "", "", c / f, f / c * 1000, "", sprintf("%.2fx", c / b)}'
            target_line "$(awk -v n="$(commas "$n")" -v k="$kind" -v c="$click" -v w="$(ms_of "window-$kind-$n")" \
                -v b="$(ms_of "cli-$kind-$n")" \
                'BEGIN {printf "window %s run at %s: Start click %.2fx the command line (target <= 1.25x) %s; whole window process %.2fx", k, n, c / b, (c / b <= 1.25 ? "PASS" : "MISS"), w / b}')"
        done
        echo "          the window wrote the same pages as the command line (diff -r): $same"
        target_line "window and command line wrote the same pages at $(commas "$n"): $([ "$same" = yes ] && echo PASS || echo MISS)"
    done <"$results/window-checks"
}

# The page-by-page reference implementations of the cross-links, index and yearbook runs (page
# against page, entry scans per index page, the whole page rewritten per record), once each at sizes where they finish in
# seconds, beside the linear runs of pagewright-cli on the same inputs; both must write the same
# files.
bench_reference() { # KIND N
    local kind=$1 n=$2 d="$work/reference-$1-$2" reps=3 r same=yes
    mkdir -p "$d"
    "$tool" data "$n" "$d/data.txt"
    case $kind in
    links)
        mkdir -p "$d/source"
        "$cli" pages --data "$d/data.txt" --model "$work/model-links.htm" --dest "$d/source" \
            --separator ';' --name-tags first --title-tag second --lang en --quiet >/dev/null
        for r in reference $(seq 1 "$reps"); do
            mkdir -p "$d/run-$r" && cp -a "$d/source/." "$d/run-$r/"
        done
        timed "reference-links-$n" -- "$reference_runs" links "$d/run-reference/" 2 3
        for r in $(seq 1 "$reps"); do
            timed "linear-links-$n" -- "$cli" links --dir "$d/run-$r" --link-tag 2 --text-tag 3 --lang en --quiet
        done
        diff -r "$d/run-reference" "$d/run-1" >/dev/null || same=no
        ;;
    index)
        mkdir -p "$d/source" "$d/run-reference"
        pages_cmd "$d/data.txt" "$d/source" >/dev/null
        timed "reference-index-$n" -- "$reference_runs" index "$d/source/" "$d/run-reference/" 4 3
        for r in $(seq 1 "$reps"); do
            mkdir -p "$d/run-$r"
            timed "linear-index-$n" -- "$cli" index --source "$d/source" --dest "$d/run-$r" \
                --criterion-tag 4 --text-tag 3 --lang en --quiet
        done
        diff -r "$d/run-reference" "$d/run-1" >/dev/null || same=no
        ;;
    yearbook)
        mkdir -p "$d/run-reference"
        timed "reference-yearbook-$n" -- "$reference_runs" yearbook "$d/data.txt" ';' \
            "$work/yearbook-model.htm" "$d/run-reference/" "$build/bin/"
        for r in $(seq 1 "$reps"); do
            mkdir -p "$d/run-$r"
            timed "linear-yearbook-$n" -- "$cli" yearbook --data "$d/data.txt" \
                --model "$work/yearbook-model.htm" --dest "$d/run-$r" --separator ';' --lang en --quiet
        done
        cmp -s "$d/run-reference/Index_One_Page.htm" "$d/run-1/Index_One_Page.htm" || same=no
        ;;
    esac
    echo "$kind $n $same" >>"$results/reference-checks"
}

reference_available() { [ -x "$reference_runs" ]; }

run_reference() {
    local kind n sizes_of
    for kind in links index yearbook; do
        case $kind in
        links) sizes_of=$reference_link_sizes ;;
        index) sizes_of=$reference_index_sizes ;;
        yearbook) sizes_of=$reference_yearbook_sizes ;;
        esac
        for n in $sizes_of; do
            echo "bench: $kind page by page, $(commas "$n")..." >&2
            bench_reference "$kind" "$n"
        done
    done
}

report_reference() {
    echo
    echo "== The page-by-page reference runs (pagewright-bench-reference, one run each: cross-links"
    echo "   reading every other page again for every page, index pages scanning every entry again"
    echo "   for every index page, the yearbook rewriting its whole page for every record), against"
    echo "   pagewright-cli on the same inputs (medians of 3); 'x floor' here is page by page / linear."
    table_header
    local kind n same
    while read -r kind n same; do
        row "$n" "$n" "$kind, linear (pagewright-cli)" "linear-$kind-$n"
        row "$n" "$n" "$kind, page by page" "reference-$kind-$n" "linear-$kind-$n"
        echo "          both wrote the same files: $same"
        target_line "$(awk -v n="$(commas "$n")" -v k="$kind" -v a="$(ms_of "reference-$kind-$n")" -v b="$(ms_of "linear-$kind-$n")" -v s="$same" \
            'BEGIN {printf "%s at %s page by page: %.0f ms against %.0f ms linear (%.0fx); same files: %s", k, n, a, b, a / b, (s == "yes" ? "PASS" : "MISS")}')"
    done <"$results/reference-checks"
}

window_available() { [ -x "$window_bench" ]; }

# run_section PROBE SIZES WHAT UNIT BENCH SKIPPED: BENCH for each size when PROBE succeeds,
# otherwise SKIPPED is reported at the end.
run_section() {
    local probe=$1 counts=$2 what=$3 unit=$4 bench=$5 skip=$6 n
    if ! "$probe"; then
        skipped+=("$skip")
        return
    fi
    for n in $counts; do
        echo "bench: $what, $(commas "$n") $unit..." >&2
        "$bench" "$n"
    done
}

# ---------------------------------------------------------------------------------------------

echo "Pagewright benchmarks - $(date -u '+%Y-%m-%d %H:%M UTC') - $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$(findmnt -n -o FSTYPE,OPTIONS --target "$work" 2>/dev/null || true) at $work; memory: $(free -m | awk '/^Mem:/ {print $2 " MB, " $7 " MB available"}')"
skipped=()
for section in $sections; do
    case $section in
    pages) run_section true "$sizes" "pages run" pages bench_pages "" ;;
    links)
        run_section links_available "$link_sizes" cross-links pages bench_links \
            "cross-links: 'pagewright-cli links' does not cross-link pages in this build yet"
        ;;
    index)
        run_section index_available "$index_sizes" "index pages" pages bench_index \
            "index pages: 'pagewright-cli index' does not write index pages in this build yet"
        ;;
    yearbook)
        run_section yearbook_available "$yearbook_sizes" yearbook records bench_yearbook \
            "yearbook: 'pagewright-cli yearbook' does not write the yearbook page in this build yet"
        ;;
    long)
        echo "bench: a page of 100 MB..." >&2
        bench_long
        ;;
    million) run_section true "$million_sizes" "short records" records bench_million "" ;;
    window)
        run_section window_available "$window_sizes" window pages bench_window \
            "window: $window_bench was not built (the window is off in this build)"
        ;;
    reference)
        if reference_available; then
            run_reference
        else
            skipped+=("reference: $reference_runs was not built")
        fi
        ;;
    *)
        echo "bench: unknown section '$section'" >&2
        ;;
    esac
done

for section in $sections; do
    case $section in
    pages) [ -s "$results/pages-checks" ] && report_pages ;;
    links) [ -s "$results/links-changed" ] && report_links ;;
    index) [ -s "$results/index-written" ] && report_index ;;
    yearbook) [ -s "$results/yearbook-size" ] && report_yearbook ;;
    long) [ -s "$results/long-checks" ] && report_long ;;
    million) [ -s "$results/million-checks" ] && report_million ;;
    window) [ -s "$results/window-checks" ] && report_window ;;
    reference) [ -s "$results/reference-checks" ] && report_reference ;;
    esac
done

echo
if [ ${#skipped[@]} -gt 0 ]; then
    for s in "${skipped[@]}"; do
        echo "Skipped $s."
    done
    echo
fi
echo "Targets (for information; timings vary by about 30% from run to run on a shared machine;"
echo "'cpu x' sets the processor time of a run against its floor's, which a busy machine disturbs less):"
for t in "${targets[@]}"; do
    echo "  $t"
done
echo "Finished $(date -u '+%H:%M UTC'), load $(cut -d' ' -f1-3 /proc/loadavg)"
