#!/usr/bin/env bash
# The idle measurement: the installed, started service beside MemoryFloor.exe (which only samples
# memory and the process list once a second) in the same Wine session. After a warm-up, both Linux
# processes' CPU time (utime + stime) over the window and their resident memory (VmRSS) at its end
# are printed with the ratios service / floor. The service should stay within 1.5 times the floor.
# An idle minute costs only a few clock ticks, so the scheduler's nanosecond run time of all threads
# is printed beside utime + stime.
#
#   measure-idle.sh [--build DIR] [--seconds N] [--warm-up N]      defaults build/windows, 60, 10
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
seconds=60
warm_up=10
while (($#)); do
    case $1 in
        --build) build=$2; shift 2 ;;
        --seconds) seconds=$2; shift 2 ;;
        --warm-up) warm_up=$2; shift 2 ;;
        *) echo "usage: $0 [--build DIR] [--seconds N] [--warm-up N]" >&2; exit 2 ;;
    esac
done

# shellcheck source=scripts/lib/wine-session.sh
source "$root/scripts/lib/wine-session.sh"

session=$(mktemp -d /tmp/kxp-idle.XXXXXX)
cleanup() {
    kxp_session_stop
    rm -rf "$session"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# utime + stime of a process, in clock ticks. The command name in field 2 may hold spaces, so the
# fields are counted after its closing parenthesis.
cpu_ticks() {
    local stat
    stat=$(<"/proc/$1/stat") || return 1
    local -a fields
    read -ra fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}

# Run time of all current threads in nanoseconds (the first field of each thread's schedstat).
run_ns() {
    local total=0 task first _
    for task in /proc/"$1"/task/*/schedstat; do
        read -r first _ <"$task" 2>/dev/null || continue
        total=$((total + first))
    done
    echo "$total"
}

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

kxp_session_start "$session" --own-display || { echo "the Wine session did not start"; exit 1; }
kxp_deploy "$build" "$root" || exit 1
kxp_install_service || { echo "/INSTALL /SILENT failed"; exit 1; }
kxp_start_service || { echo "the service did not start"; exit 1; }
kxp_wine_background "$KXP_LOGS/floor.out" 'C:\KorvanelXPTest\MemoryFloor.exe' >/dev/null

kxp_wait_for 30 kxp_program_pid MemoryFloor.exe >/dev/null || { echo "no MemoryFloor"; exit 1; }
service=$(kxp_service_pid) || { echo "no service process"; exit 1; }
floor=$(kxp_program_pid MemoryFloor.exe)

echo "warming up for $warm_up s, then measuring for $seconds s"
sleep "$warm_up"
service_ns_start=$(run_ns "$service")
floor_ns_start=$(run_ns "$floor")
if ! service_start=$(cpu_ticks "$service") || ! floor_start=$(cpu_ticks "$floor"); then
    echo "a process ended during the warm-up"
    exit 1
fi
sleep "$seconds"
service_ns=$(($(run_ns "$service") - service_ns_start))
floor_ns=$(($(run_ns "$floor") - floor_ns_start))
if ! service_end=$(cpu_ticks "$service") || ! floor_end=$(cpu_ticks "$floor"); then
    echo "a process ended during the measurement"
    exit 1
fi
service_rss=$(rss_kib "$service")
floor_rss=$(rss_kib "$floor")

tick=$(getconf CLK_TCK)
seconds_of() { awk -v t="$1" -v h="$tick" 'BEGIN { printf "%.2f", t / h }'; }
service_cpu=$(seconds_of $((service_end - service_start)))
floor_cpu=$(seconds_of $((floor_end - floor_start)))

echo "state of the service: $(kxp_service_state)"
printf '%-22s %12s %12s %8s\n' "" "service" "floor" "ratio"
printf '%-22s %12s %12s %8s\n' "CPU seconds in ${seconds} s" "$service_cpu" "$floor_cpu" \
    "$(ratio "$((service_end - service_start))" "$((floor_end - floor_start))")"
printf '%-22s %12s %12s %8s\n' "CPU ms (scheduler)" "$((service_ns / 1000000))" \
    "$((floor_ns / 1000000))" "$(ratio "$service_ns" "$floor_ns")"
printf '%-22s %12s %12s %8s\n' "VmRSS KiB" "$service_rss" "$floor_rss" \
    "$(ratio "$service_rss" "$floor_rss")"
