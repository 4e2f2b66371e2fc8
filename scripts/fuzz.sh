#!/usr/bin/env bash
# Runs every fuzz target for a bounded time and fails on any finding.
#   scripts/fuzz.sh [seconds-per-target]        (default 30)
# Environment: FUZZ_BUILD (build folder with the fuzz_* programs, default build-asan;
# configured with FUZZ_BUILD_TYPE, default Debug, and built here when they are missing), FUZZ_RUNS (cap on executions per
# target, default none), FUZZ_PARALLEL (targets run at once, default 1), FUZZ_TARGETS
# (names to run, default all).
# Seeds are written by each target itself (LEDORA_FUZZ_SEEDS) into
# <build>/fuzz-corpus/<target>/seeds; the grown corpus is kept in .../work, crashes in
# <build>/fuzz-artifacts/. Regression inputs under tests/fixtures/regressions/<target>-*
# are replayed as seeds too.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=${FUZZ_BUILD:-build-asan}
runs=${FUZZ_RUNS:--1}
parallel=${FUZZ_PARALLEL:-1}
all_targets="datapacket_binary datapacket_xml settings_file table_csv cp932_text lock_file"
targets=${FUZZ_TARGETS:-$all_targets}

missing=0
for t in $targets; do [ -x "$build/fuzz_$t" ] || missing=1; done
if [ "$missing" = 1 ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE="${FUZZ_BUILD_TYPE:-Debug}" -DLEDORA_SANITIZE=ON \
        -DLEDORA_FUZZ=ON -DLEDORA_BENCH=OFF >/dev/null || exit 1
    cmake --build "$build" -j"${FUZZ_JOBS:-2}" $(for t in $targets; do echo --target "fuzz_$t"; done) \
        || exit 1
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/fuzz-artifacts" "$build/fuzz-logs"

run_one() {
    local t=$1 corpus="$build/fuzz-corpus/$1"
    rm -rf "$corpus/seeds"
    mkdir -p "$corpus/seeds" "$corpus/work"
    LEDORA_FUZZ_SEEDS="$corpus/seeds" "$build/fuzz_$t" >/dev/null 2>&1 || {
        echo "fuzz_$t: could not write its seeds"; return 1; }
    for f in tests/fixtures/regressions/"$t"-*; do
        [ -f "$f" ] && cp "$f" "$corpus/seeds/"
    done
    local log="$build/fuzz-logs/$t.log" start end
    start=$(date +%s)
    nice -n "${FUZZ_NICE:-10}" "$build/fuzz_$t" -max_total_time="$seconds" -runs="$runs" \
        -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-artifacts/$t-" "$corpus/work" "$corpus/seeds" >"$log" 2>&1
    local rc=$?
    end=$(date +%s)
    local done_line execs
    done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -1)
    execs=$(grep -E 'stat::number_of_executed_units' "$log" | tail -1 | awk '{print $2}')
    if [ $rc -ne 0 ]; then
        echo "fuzz_$t: FAILED after $((end - start)) s (log $log)"
        grep -E 'ERROR|property failed|Test unit written' "$log" | head -5
        return 1
    fi
    echo "fuzz_$t: ok, ${execs:-?} executions in $((end - start)) s, corpus $(ls "$corpus/work" | wc -l) files${done_line:+ ($done_line)}"
}

status=0
if [ "$parallel" -le 1 ]; then
    for t in $targets; do run_one "$t" || status=1; done
else
    pids=()
    for t in $targets; do
        run_one "$t" &
        pids+=($!)
        while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do sleep 1; done
    done
    for p in "${pids[@]}"; do wait "$p" || status=1; done
fi
exit $status
