#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in ./build-fuzz and runs each for SECONDS
# (default 60), one after the other, from seed corpora made of data/, examples/ and fuzz/seeds/.
# A finding stops the script with a non-zero status and leaves the input as
# build-fuzz/crash-* (or leak-*, timeout-*); make it a regression test.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(catalogue material project check)

cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build-fuzz -j "$(nproc)" $(printf -- '--target fuzz_%s ' "${targets[@]}")

seed() { # seed NAME FILES...: the corpus folder of a target, seeded once
    local dir=build-fuzz/corpus/$1
    shift
    mkdir -p "$dir"
    cp -n "$@" "$dir"/ 2>/dev/null || true
}
seed catalogue data/properties.txt data/volum_properties.txt fuzz/seeds/small_catalogue.txt
seed material data/materials/* fuzz/seeds/small_material.txt
seed project examples/*.txt fuzz/seeds/small_project.txt
seed check examples/*.txt fuzz/seeds/small_project.txt

# Large single allocations and slow inputs are findings too; the reader and the checker refuse
# absurd sizes before allocating.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
for t in "${targets[@]}"; do
    echo "== fuzz_$t for ${seconds} s"
    (cd build-fuzz && ./fuzz_"$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -dict=../fuzz/karveno.dict -print_final_stats=1 corpus/"$t" 2>&1 |
        grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|ERROR|SUMMARY|^==' || true)
    (cd build-fuzz && ! ls crash-* leak-* timeout-* oom-* > /dev/null 2>&1) ||
        { echo "fuzz_$t: finding left in build-fuzz"; exit 1; }
done
