#!/usr/bin/env bash
# Builds and tests everything: the native unit tests (ASan + UBSan), the same under ThreadSanitizer,
# a short smoke of each fuzz target, the Windows build with its unit tests under Wine, and the Wine
# integration harness. Installs what a fresh Debian 12 lacks first. Prints each suite's counts and,
# as the very last line, the total as "N passed, M failed"; exits non-zero when anything failed, a
# failed build included.
#
# The presets build into build/<preset>; KXP_BUILD_ROOT puts them elsewhere.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
builds=${KXP_BUILD_ROOT:-$root/build}
cd "$root" || exit 1
# shellcheck source=scripts/lib/packages.sh
source "$root/scripts/lib/packages.sh"
# shellcheck source=scripts/lib/wine-session.sh
source "$root/scripts/lib/wine-session.sh"

logs="$builds/logs"
trap kxp_session_stop EXIT
trap 'exit 130' INT TERM
total_passed=0
total_failed=0
summary=()

count_suite() {
    local name=$1 passed=$2 failed=$3
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    summary+=("$name: $passed passed, $failed failed")
    echo "== $name: $passed passed, $failed failed"
}

# Configures and builds a preset; a failure shows the end of its log.
build_preset() {
    local preset=$1 log="$logs/build-$1.log"
    echo "== building preset $preset"
    if cmake --preset "$preset" -B "$builds/$preset" >"$log" 2>&1 &&
        cmake --build "$builds/$preset" -j 2 >>"$log" 2>&1; then
        return 0
    fi
    tail -n 60 "$log"
    echo "== build of preset $preset failed (log: $log)"
    return 1
}

# Runs ctest for a preset and counts its summary line
# "X% tests passed, Y tests failed out of Z".
ctest_preset() {
    local preset=$1 log="$logs/ctest-$1.log"
    echo "== testing preset $preset"
    ctest --test-dir "$builds/$preset" --output-on-failure -j 2 --timeout 120 --no-tests=error \
        >"$log" 2>&1
    # The whole run when something failed (with the failures' output), else only the summary.
    if grep -qE '^100% tests passed' "$log"; then
        sed -n '/% tests passed/,$p' "$log"
        echo "   (full output: $log)"
    else
        cat "$log"
    fi
    local line
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
        local failed=${BASH_REMATCH[1]} all=${BASH_REMATCH[2]} skipped
        # Skipped tests are in ctest's total but neither passed nor failed.
        skipped=$(grep -cE '^[[:space:]]+[0-9]+ - .*\((Skipped|Disabled)\)$' "$log")
        count_suite "$preset unit tests" $((all - failed - skipped)) "$failed"
    else
        echo "== no ctest summary for preset $preset"
        count_suite "$preset unit tests" 0 1
    fi
}

host_suite() {
    local preset=$1
    if build_preset "$preset"; then
        ctest_preset "$preset"
    else
        count_suite "$preset build" 0 1
    fi
}

windows_unit_tests() {
    local dir
    dir=$(mktemp -d /tmp/kxp-ctest.XXXXXX)
    if kxp_unit_test_prefix_start "$dir"; then
        ctest_preset windows
    else
        echo "== no Wine prefix for the Windows unit tests"
        count_suite "windows unit tests" 0 1
    fi
    kxp_session_stop
    rm -rf "$dir"
}

harness() {
    local log="$logs/harness.log"
    echo "== Wine integration harness"
    timeout --kill-after=30 1200 bash "$root/tests/wine/run-harness.sh" --build "$builds/windows" \
        >"$log" 2>&1
    cat "$log"
    local line
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
    if [[ $line =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
        count_suite "Wine harness" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
    else
        count_suite "Wine harness" 0 1
    fi
}

# The libFuzzer targets for a short smoke each; scripts/fuzz.sh runs them for longer.
fuzz_smoke() {
    local log="$logs/fuzz.log"
    echo "== fuzz smoke (10 s per target)"
    bash "$root/scripts/fuzz.sh" --seconds 10 >"$log" 2>&1
    cat "$log"
    local passed failed
    passed=$(grep -cE '^fuzz_[a-z_]+: [0-9]+ runs, 0 crashes$' "$log")
    failed=$(grep -cE '^fuzz_[a-z_]+: ([0-9]+ runs, [1-9][0-9]* crashes|no such target)$' "$log")
    ((passed + failed == 0)) && failed=1
    count_suite "fuzz smoke" "$passed" "$failed"
}

if ! kxp_install_packages; then
    count_suite "package installation" 0 1
fi
mkdir -p "$logs" || exit 1

host_suite native
host_suite tsan
fuzz_smoke
if build_preset windows; then
    windows_unit_tests
    harness
else
    count_suite "windows build" 0 1
fi

echo "== summary"
printf '   %s\n' "${summary[@]}"
echo "$total_passed passed, $total_failed failed"
((total_failed == 0))
