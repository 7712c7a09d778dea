#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs the named ones (all without names) for
# a bounded number of runs, printing each target's runs and crashes; exits non-zero on a crash.
#
#   fuzz.sh [--runs N | --seconds S] [target...]     default: 2000000 runs each
#
# Builds into build/fuzz (KXP_BUILD_ROOT puts it elsewhere). Each target first runs a few large
# inputs once (lines of a megabyte in each encoding, many lines), then fuzzes inputs of up to 4 KiB
# from seeds in corpus/<target>/ (the shipped language files, fuzz/seeds/); the input of a crash
# of the last run is kept in artifacts/<target>/.
set -u

runs=2000000
seconds=""
targets=()
while (($#)); do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --seconds) seconds=$2; shift 2 ;;
        -*) echo "usage: $0 [--runs N | --seconds S] [target...]" >&2; exit 2 ;;
        *) targets+=("$1"); shift ;;
    esac
done

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KXP_BUILD_ROOT:-$root/build}/fuzz
log="$build/build.log"
mkdir -p "$build"
if ! { cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ &&
    cmake --build "$build" -j 2; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz build failed (log: $log)"
    exit 1
fi
if ((${#targets[@]} == 0)); then
    mapfile -t targets < <(find "$build" -maxdepth 1 -type f -executable -name 'fuzz_*' \
        -printf '%f\n' | sort)
fi

# Each target's seeds go into its corpus; inputs too large to fuzz at speed go into a folder that
# is run once, as they are.
seed() {
    local target=$1 corpus=$2 large=$3
    case $target in
        fuzz_language_file)
            cp "$root"/languages/*.klf "$corpus/"
            { printf '\xff\xfe=\0\r\0\n\0'; head -c 2097152 /dev/zero | tr '\0' 'a'; } \
                >"$large/megabyte-utf16le"
            { printf '\xfe\xff\0=\0\n'; head -c 2097151 /dev/zero | tr '\0' '\330'; } \
                >"$large/megabyte-utf16be-surrogates-odd"
            { printf '\xef\xbb\xbf=\r\n='; head -c 1048576 /dev/zero | tr '\0' '\320'; } \
                >"$large/megabyte-utf8-broken"
            { printf '=\n='; head -c 1048576 /dev/zero | tr '\0' 'x'; } >"$large/megabyte-ansi"
            head -c 200000 /dev/zero | tr '\0' '\n' >"$large/200000-lines"
            ;;
        fuzz_performance_data | fuzz_processor_times)
            cp "$root/fuzz/seeds/${target#fuzz_}"/* "$corpus/"
            ;;
        fuzz_user_options)
            printf '\x05\x04\x04\x03\x00\x00\x00' >"$corpus/display"
            printf '\x40\x01\x05clRed' >"$corpus/colour"
            ;;
        fuzz_colour_text)
            printf 'clWhite' >"$corpus/identifier"
            printf '$00FFFFFE' >"$corpus/hexadecimal"
            printf -- '-2147483648' >"$corpus/decimal"
            ;;
    esac
}

limit=(-runs="$runs")
[[ -n $seconds ]] && limit=(-max_total_time="$seconds" -runs=-1)
crashed=0
for target in "${targets[@]}"; do
    exe="$build/$target"
    [[ -x $exe ]] || { echo "$target: no such target"; crashed=1; continue; }
    artifacts="$build/artifacts/$target" corpus="$build/corpus/$target"
    large="$build/large/$target" out="$build/$target.log"
    rm -rf "$artifacts" "$corpus" "$large"
    mkdir -p "$artifacts" "$corpus" "$large"
    seed "$target" "$corpus" "$large"
    rc=0
    mapfile -t large_inputs < <(find "$large" -type f | sort)
    if ((${#large_inputs[@]} > 0)); then
        "$exe" -artifact_prefix="$artifacts/" "${large_inputs[@]}" >"$out.large" 2>&1 || rc=$?
        echo "$target: ${#large_inputs[@]} large inputs run once, exit status $rc"
    fi
    "$exe" "${limit[@]}" -max_len=4096 -artifact_prefix="$artifacts/" "$corpus" >"$out" 2>&1 ||
        rc=$?
    done_runs=$(grep -oE 'Done [0-9]+ runs' "$out" | grep -oE '[0-9]+' | tail -n 1)
    [[ -z $done_runs ]] && done_runs=$(grep -oE '^#[0-9]+' "$out" | tail -n 1 | tr -d '#')
    crashes=$(find "$artifacts" -type f | wc -l)
    ((rc != 0 && crashes == 0)) && crashes=1
    echo "$target: ${done_runs:-0} runs, $crashes crashes"
    if ((crashes > 0)); then
        crashed=1
        tail -n 30 "$out"
    fi
done
exit "$crashed"
