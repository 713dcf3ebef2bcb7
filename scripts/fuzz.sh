#!/usr/bin/env bash
# Runs each fuzz target for FUZZ_SECONDS (default 60) from the seed corpus in tests/fuzz/corpus,
# from a random seed unless FUZZ_SEED is set, and prints the executions per target. New inputs go
# to a working corpus in the build folder; an input that breaks a property is kept in
# $BUILD/findings and makes the script fail.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=${FUZZ_BUILD:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-60}
TARGETS=${FUZZ_TARGETS:-"fuzz_record fuzz_samples fuzz_val fuzz_fit"}

if [ ! -f "$BUILD/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUANTEM_FUZZ=ON >/dev/null || exit 1
fi
# shellcheck disable=SC2086
cmake --build "$BUILD" --target $TARGETS || exit 1

mkdir -p "$BUILD/findings"
# A fixed FUZZ_SEED makes the run repeatable: a slower machine runs a prefix of the same inputs.
seed_option=${FUZZ_SEED:+-seed=$FUZZ_SEED}
failed=0
findings=""
printf '%-14s %8s %14s %10s  %s\n' target seconds executions "exec/s" result
for target in $TARGETS; do
    name=${target#fuzz_}
    seeds=tests/fuzz/corpus/$name
    work=$BUILD/corpus/$name
    log=$BUILD/$target.log
    mkdir -p "$work"
    "$BUILD/tests/fuzz/$target" -max_total_time="$SECONDS_EACH" -timeout=60 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$BUILD/findings/$target-" $seed_option "$work" "$seeds" \
        >"$log" 2>&1
    status=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    runs=${runs:-0}
    result=ok
    if [ "$status" -ne 0 ]; then
        result="FINDING (see $log)"
        failed=1
        findings="$findings $target"
    fi
    printf '%-14s %8s %14s %10s  %s\n' "$target" "$SECONDS_EACH" "$runs" \
        "$((runs / (SECONDS_EACH > 0 ? SECONDS_EACH : 1)))" "$result"
done
# A finding on a machine of its own (CI) is only worth something with its cause and its input.
for target in $findings; do
    echo
    echo "== $target: what broke"
    grep -E 'property broken|ERROR|SUMMARY|runtime error|ALARM|out-of-memory|Test unit written' \
        "$BUILD/$target.log" | head -20
    for input in "$BUILD/findings/$target-"*; do
        [ -f "$input" ] || continue
        echo "== input $input (base64):"
        base64 "$input" | head -40
    done
done
exit $failed
