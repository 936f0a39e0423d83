#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan, and runs them.
#   tools/fuzz.sh short        a few seconds each (part of test.sh)
#   tools/fuzz.sh long [SECS]  a long run by hand (600 s)
#   tools/fuzz.sh merge        minimises what the long runs learned into fuzz/corpus/
# A last argument naming one fuzzer (fuzz_document) runs only that one, so
# long runs of several can go side by side. Every run starts from the
# committed corpus fuzz/corpus/NAME and the test fixtures; the inputs it
# finds stay in the build folder (fuzz/grown-NAME) until a merge, and its
# log and any failing input in fuzz/work-NAME.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VESK_FUZZ_BUILD_DIR:-$root/build-fuzz}"
mode="${1:-short}"
secs="${2:-600}"
only="${3:-}"
[[ "$mode" == short ]] && secs="${VESK_FUZZ_SECONDS:-15}"
case "$mode" in short | long | merge) ;; *) echo "usage: $0 short | long [SECS] | merge, then optionally a fuzzer name" >&2; exit 2 ;; esac

export CCACHE_BASEDIR="$root"
if [[ ! -f "$build/build.ninja" ]]; then
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVESK_FUZZ=ON -DVESK_SANITIZE=ON -DVESK_TESTS=OFF -DVESK_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "${VESK_JOBS:-$(nproc)}" --target vesk_fuzzers

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
seeds="$root/tests/data"
status=0
for fuzzer in "$build"/fuzz/fuzz_*; do
    [[ -x "$fuzzer" ]] || continue
    name="$(basename "$fuzzer")"
    [[ -z "$only" || "$only" == "$name" ]] || continue
    corpus="$root/fuzz/corpus/$name"
    grown="$build/fuzz/grown-$name"
    work="$build/fuzz/work-$name"
    mkdir -p "$work" "$grown" "$corpus"
    # A fuzzer may bring the words of its format as fuzz/NAME.dict.
    dict=()
    [[ -f "$root/fuzz/$name.dict" ]] && dict=(-dict="$root/fuzz/$name.dict")
    if [[ "$mode" == merge ]]; then
        # The smallest set of inputs that adds to the fixtures' coverage all
        # that the committed corpus and the long runs' finds reach. The
        # fixtures sit in the output folder during the merge, so they count
        # as covered without being copied into the corpus.
        merged="$build/fuzz/merged-$name"
        rm -rf "$merged"
        mkdir -p "$merged"
        cp -r "$seeds" "$merged/fixtures"
        echo "fuzz: merging $name"
        if ! "$fuzzer" -merge=1 -max_len=65536 -timeout=10 -rss_limit_mb=2048 "$merged" "$corpus" "$grown" \
            >"$build/fuzz/merge-$name.log" 2>&1; then
            echo "fuzz: merging $name FAILED, see $build/fuzz/merge-$name.log" >&2
            status=1
            continue
        fi
        rm -rf "$merged/fixtures" "$corpus"
        mv "$merged" "$corpus"
        echo "fuzz: $name corpus $(find "$corpus" -type f | wc -l) inputs"
        continue
    fi
    echo "fuzz: $name for ${secs}s"
    # New inputs go to the first folder; the committed corpus is only read.
    if ! "$fuzzer" -max_total_time="$secs" -max_len=65536 -timeout=10 -rss_limit_mb=2048 "${dict[@]}" \
        -print_final_stats=1 -artifact_prefix="$work/" "$grown" "$corpus" "$seeds" >"$work/log" 2>&1; then
        echo "fuzz: $name FAILED, see $work/log" >&2
        tail -40 "$work/log" >&2
        status=1
    fi
done
exit $status
