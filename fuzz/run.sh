#!/usr/bin/env bash
# Runs the fuzz targets one after the other on copies of their seed corpora:
#   fuzz/run.sh <fuzz build folder> <seconds per target> [target ...]
# FUZZ_RUNS=N also ends each target after N executions (a campaign: FUZZ_RUNS=10000000
# with 1800 seconds). Inputs of up to 64 KB, one second each at most (FUZZ_TIMEOUT=N
# seconds on a machine too busy to give a run its second), 2 GB of memory. Prints one line per
# target (executions, coverage, features) and fails on the first crash, leak or hang;
# the input that caused it is left in the build folder (fuzz-findings/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
seconds="$2"
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for corpus in "$root"/fuzz/corpus/*/; do
        targets+=("$(basename "$corpus")")
    done
fi
findings="$build/fuzz-findings"
mkdir -p "$findings"
for target in "${targets[@]}"; do
    work="$(mktemp -d)"
    cp -r "$root/fuzz/corpus/$target/." "$work/" 2>/dev/null || true
    log="$findings/$target.log"
    if ! "$build/fuzz/fuzz_$target" "$work" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs="$FUZZ_RUNS"} -max_len=65536 -timeout="${FUZZ_TIMEOUT:-1}" \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$target-" >"$log" 2>&1; then
        echo "$target: FAILED (see $log)"
        tail -n 40 "$log"
        rm -rf "$work"
        exit 1
    fi
    rm -rf "$work"
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')"
    last="$(grep -E '^#[0-9]+' "$log" | tail -n 1)"
    cov="$(echo "$last" | grep -o 'cov: [0-9]*' || true)"
    ft="$(echo "$last" | grep -o 'ft: [0-9]*' || true)"
    echo "$target: $runs executions, $cov, $ft"
done
