#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded number of runs; prints per
# target its runs and crashes, and exits non-zero when any target crashed.
#
#   fuzz.sh [--runs N] [--seconds S]
#
# Runs default to 2,000,000 (KXP_FUZZ_RUNS overrides); --seconds also bounds the time per target.
# Builds into build/fuzz (under KXP_BUILD_ROOT when set).
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
builds=${KXP_BUILD_ROOT:-$root/build}
runs=${KXP_FUZZ_RUNS:-2000000}
seconds=0
while (($#)); do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --seconds) seconds=$2; shift 2 ;;
        *) echo "usage: $0 [--runs N] [--seconds S]" >&2; exit 2 ;;
    esac
done

dir="$builds/fuzz"
mkdir -p "$dir/logs" || exit 1
if ! { CXX=clang++ cmake -S "$root/fuzz" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$dir" -j 2; } >"$dir/logs/build.log" 2>&1; then
    tail -n 40 "$dir/logs/build.log"
    echo "== fuzz build failed"
    exit 1
fi

crashed=0
for target in performance_data_fuzz processor_times_fuzz; do
    log="$dir/logs/$target.log"
    # A working corpus of its own, started from the seeds in the source tree (well-formed answers).
    corpus="$dir/corpus/$target"
    mkdir -p "$corpus"
    artifacts="$dir/artifacts/$target/"
    mkdir -p "$artifacts"
    "$dir/$target" -runs="$runs" -max_total_time="$seconds" -max_len=4096 \
        -artifact_prefix="$artifacts" "$corpus" "$root/fuzz/seeds/${target%_fuzz}" >"$log" 2>&1
    rc=$?
    done_runs=$(grep -oE 'Done [0-9]+ runs' "$log" | grep -oE '[0-9]+' | tail -n 1)
    crashes=$(find "$artifacts" -type f | wc -l)
    ((rc != 0 && crashes == 0)) && crashes=1
    echo "$target: ${done_runs:-0} runs, $crashes crashes"
    ((crashes > 0)) && { crashed=1; tail -n 30 "$log"; }
done
exit $crashed
