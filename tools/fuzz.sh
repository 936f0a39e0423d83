#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan, and runs them.
#   tools/fuzz.sh short        a few seconds each (part of test.sh)
#   tools/fuzz.sh long [SECS]  a long run by hand
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VESK_FUZZ_BUILD_DIR:-$root/build-fuzz}"
mode="${1:-short}"
secs="${2:-600}"
[[ "$mode" == short ]] && secs="${VESK_FUZZ_SECONDS:-15}"

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
status=0
for fuzzer in "$build"/fuzz/fuzz_*; do
    [[ -x "$fuzzer" ]] || continue
    name="$(basename "$fuzzer")"
    # The test fixtures are the seeds; what the fuzzer finds stays in the build folder.
    seeds="$root/tests/data"
    work="$build/fuzz/work-$name"
    mkdir -p "$work"
    echo "fuzz: $name for ${secs}s"
    # A fuzzer may bring the words of its format as fuzz/NAME.dict.
    dict=()
    [[ -f "$root/fuzz/$name.dict" ]] && dict=(-dict="$root/fuzz/$name.dict")
    if ! "$fuzzer" -max_total_time="$secs" -max_len=65536 -timeout=10 -rss_limit_mb=2048 "${dict[@]}" \
        -print_final_stats=0 -artifact_prefix="$work/" "$work" "$seeds" >"$work/log" 2>&1; then
        echo "fuzz: $name FAILED, see $work/log" >&2
        tail -40 "$work/log" >&2
        status=1
    fi
done
exit $status
