# shellcheck shell=bash
# Per-core CPU figures under Wine, whose performance data is empty, so the service takes them from
# the per-processor times: a busy loop pinned to the second processor shows on "Core 2", not on
# "Core 1", and goes away afterwards. Read through the trace line "CPU idle: A, cores C1 C2 C3 C4"
# of every full scan (idle percentages; DebugTrace must be on). Needs two processors.
KXP_CASES+=(busy_second_processor_shows_on_core_2)

# The trace lines of the figures after the first SKIP of them, as "core1busy core2busy" per line.
percore_busy_after() {
    kxp_trace_lines | grep -F "CPU idle: " | tail -n +$(($1 + 1)) |
        sed -nE 's/.*cores (-?[0-9]+) (-?[0-9]+) .*/\1 \2/p' | awk '{print 100 - $1, 100 - $2}'
}
percore_line_count() { kxp_trace_lines | grep -cF "CPU idle: " || true; }
percore_lines_above() { (($(percore_line_count) > $1)); }

# The median of a column of the figures. Usage: percore_median COLUMN < FIGURES
percore_median() { awk -v c="$1" '{print $c}' | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

case_busy_second_processor_shows_on_core_2() {
    (($(nproc) >= 2)) || { echo "    one processor only: nothing to tell apart"; return 0; }
    kxp_start_service || { fail "the service does not run"; return; }
    local start during after busy1 busy2 rest1 rest2
    kxp_wait_for 10 percore_lines_above 1 ||
        { fail "no 'CPU idle: ' trace (is DebugTrace on?)"; return; }
    # The first second of the loop still holds idle time: the figures count from one later.
    taskset -c 1 timeout 6 sh -c 'while :; do :; done' &
    local loop=$!
    sleep 1.5
    start=$(percore_line_count)
    wait "$loop"
    during=$(percore_busy_after "$start")
    start=$(percore_line_count)
    sleep 4
    after=$(percore_busy_after $((start + 1)))
    busy1=$(percore_median 1 <<<"$during")
    busy2=$(percore_median 2 <<<"$during")
    rest1=$(percore_median 1 <<<"$after")
    rest2=$(percore_median 2 <<<"$after")
    echo "    busy % during the loop (core 1, core 2):" $during
    echo "    afterwards:" $after
    [[ -n $busy2 && -n $rest2 ]] || { fail "too few figures traced"; return; }
    ((busy2 >= 90)) || { fail "Core 2 read $busy2 % busy during the loop"; return; }
    ((busy1 <= busy2 - 30)) || { fail "Core 1 read $busy1 % busy beside Core 2's $busy2 %"; return; }
    ((rest2 <= busy2 - 30)) || fail "Core 2 still read $rest2 % busy after the loop"
}
