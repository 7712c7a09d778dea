# shellcheck shell=bash
# Per-core CPU figures under Wine, whose performance data is empty, so the service takes them from
# the per-processor times: a busy loop pinned to the second processor shows on "Core 2", not on
# "Core 1", and goes away afterwards. Read through the trace line "CPU idle: A, cores C1 C2 C3 C4"
# of every full scan (idle percentages; DebugTrace must be on). Needs two processors.
#
# The machine may be shared: when something else keeps a processor busy, "Core 1 low" and "falls
# back afterwards" cannot hold, so each core is also held against the kernel's own figure for its
# processor over the same seconds (/proc/stat, which Wine reads too).
KXP_CASES+=(busy_second_processor_shows_on_core_2)

# The trace lines of the figures after the first SKIP of them, as "core1busy core2busy" per line.
percore_busy_after() {
    kxp_trace_lines | grep -F "CPU idle: " | tail -n +$(($1 + 1)) |
        sed -nE 's/.*cores (-?[0-9]+) (-?[0-9]+) .*/\1 \2/p' | awk '{print 100 - $1, 100 - $2}'
}
percore_line_count() { kxp_trace_lines | grep -cF "CPU idle: " || true; }
percore_lines_above() { (($(percore_line_count) > $1)); }

# Busy and total ticks of cpu0 and cpu1 as "busy0 total0 busy1 total1".
percore_kernel_ticks() {
    awk '/^cpu[01] / {t = 0; for (i = 2; i <= 9; i++) t += $i; printf "%d %d ", t - $5 - $6, t}' \
        /proc/stat
}
# Busy percent of one processor between two tick readings. Usage: percore_kernel_busy CPU A B
percore_kernel_busy() {
    local cpu=$1 a=($2) b=($3)
    local busy=$((b[2 * cpu] - a[2 * cpu])) total=$((b[2 * cpu + 1] - a[2 * cpu + 1]))
    ((total > 0)) && echo $((100 * busy / total)) || echo 0
}
# Whether two percentages are within 25 of each other.
percore_near() { (($1 - $2 <= 25 && $2 - $1 <= 25)); }

# The median of a column of the figures. Usage: percore_median COLUMN < FIGURES
percore_median() { awk -v c="$1" '{print $c}' | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

case_busy_second_processor_shows_on_core_2() {
    (($(nproc) >= 2)) || { echo "    one processor only: nothing to tell apart"; return 0; }
    kxp_start_service || { fail "the service does not run"; return; }
    local start during after busy1 busy2 rest1 rest2 ticks0 ticks1 ticks2 kernel0 kernel1 kernel2
    kxp_wait_for 10 percore_lines_above 1 ||
        { fail "no 'CPU idle: ' trace (is DebugTrace on?)"; return; }
    # The first second of the loop still holds idle time: the figures count from one later.
    taskset -c 1 timeout 6 sh -c 'while :; do :; done' &
    local loop=$!
    sleep 1.5
    start=$(percore_line_count)
    ticks0=$(percore_kernel_ticks)
    wait "$loop"
    ticks1=$(percore_kernel_ticks)
    during=$(percore_busy_after "$start")
    start=$(percore_line_count)
    sleep 1
    ticks2=$(percore_kernel_ticks)
    sleep 3
    after=$(percore_busy_after $((start + 1)))
    kernel0=$(percore_kernel_busy 0 "$ticks0" "$ticks1")
    kernel1=$(percore_kernel_busy 1 "$ticks0" "$ticks1")
    kernel2=$(percore_kernel_busy 1 "$ticks2" "$(percore_kernel_ticks)")
    busy1=$(percore_median 1 <<<"$during")
    busy2=$(percore_median 2 <<<"$during")
    rest1=$(percore_median 1 <<<"$after")
    rest2=$(percore_median 2 <<<"$after")
    echo "    busy % during the loop (core 1, core 2):" $during
    echo "    afterwards:" $after
    echo "    kernel: cpu0 $kernel0 %, cpu1 $kernel1 % during, cpu1 $kernel2 % afterwards"
    [[ -n $busy2 && -n $rest2 ]] || { fail "too few figures traced"; return; }
    ((busy2 >= 90)) || { fail "Core 2 read $busy2 % busy during the loop"; return; }
    percore_near "$busy1" "$kernel0" ||
        { fail "Core 1 read $busy1 % busy, the kernel says $kernel0 %"; return; }
    percore_near "$rest2" "$kernel2" ||
        { fail "Core 2 read $rest2 % busy after the loop, the kernel says $kernel2 %"; return; }
    if ((kernel0 <= 50)); then
        ((busy1 <= busy2 - 30)) ||
            { fail "Core 1 read $busy1 % busy beside Core 2's $busy2 %"; return; }
    fi
    if ((kernel2 <= 50)); then
        ((rest2 <= busy2 - 30)) || fail "Core 2 still read $rest2 % busy after the loop"
    fi
}
