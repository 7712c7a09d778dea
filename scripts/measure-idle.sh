#!/usr/bin/env bash
# The idle measurement: the installed, started service with its two default tray icons beside two
# floors in the same Wine session: MemoryFloor.exe, which only samples memory and the process list
# once a second, and TrayFloor.exe, which does the tray icons' job in the least code (two icons, one
# redrawn with digits and one with a 16-column graph once a second). After a warm-up, the Linux
# processes' CPU time (utime + stime) over the window and their resident memory (VmRSS) at its end
# are printed with the ratios service / floor. The service should stay within 1.5 times the memory
# floor and within 1.2 times the tray floor. An idle minute costs only a few clock ticks, so the
# scheduler's nanosecond run time of all threads is printed beside utime + stime. Then the
# service's CPU time against both floors together, its threads' shares, and where its resident
# memory exceeds the tray floor's.
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
    [[ -n ${KXP_KEEP:-} ]] || rm -rf "$session"
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

# "tid run-ns name" of each current thread (run-ns: the first field of its schedstat).
thread_ns() {
    local task first _
    for task in /proc/"$1"/task/*; do
        read -r first _ <"$task/schedstat" 2>/dev/null || continue
        echo "${task##*/} $first $(<"$task/comm")"
    done
}

# Run time of all current threads in nanoseconds.
run_ns() {
    local total=0 ns _
    while read -r _ ns _; do total=$((total + ns)); done < <(thread_ns "$1")
    echo "$total"
}

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# Resident KiB per mapped file ("[anonymous]" for private memory with no file) of a process.
resident_by_file() {
    awk '/^[0-9a-f]+-[0-9a-f]+ / { file = $6 == "" ? "[anonymous]" : $6 }
         /^Rss:/ { kib[file] += $2 }
         END { for (f in kib) if (kib[f] > 0) print kib[f], f }' "/proc/$1/smaps"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

kxp_session_start "$session" --own-display || { echo "the Wine session did not start"; exit 1; }
kxp_deploy "$build" "$root" || exit 1
tray_floor=$(find "$build" -name TrayFloor.exe -print -quit)
[[ -n "$tray_floor" ]] || { echo "no TrayFloor.exe under $build"; exit 1; }
cp "$tray_floor" "$WINEPREFIX/drive_c/KorvanelXPTest/"
# The floors first: Wine replaces a desktop whose last ordinary program has ended, and the service
# would see that as a logoff and show no icons.
kxp_wine_background "$KXP_LOGS/floor.out" 'C:\KorvanelXPTest\MemoryFloor.exe' >/dev/null
kxp_wine_background "$KXP_LOGS/tray-floor.out" 'C:\KorvanelXPTest\TrayFloor.exe' >/dev/null
kxp_install_service || { echo "/INSTALL /SILENT failed"; exit 1; }
[[ -n ${KXP_TRACE:-} ]] && kxp_enable_trace
kxp_start_service || { echo "the service did not start"; exit 1; }

kxp_wait_for 30 kxp_program_pid MemoryFloor.exe >/dev/null || { echo "no MemoryFloor"; exit 1; }
kxp_wait_for 30 kxp_program_pid TrayFloor.exe >/dev/null || { echo "no TrayFloor"; exit 1; }
service=$(kxp_service_pid) || { echo "no service process"; exit 1; }
names=(service MemoryFloor TrayFloor)
pids=("$service" "$(kxp_program_pid MemoryFloor.exe)" "$(kxp_program_pid TrayFloor.exe)")

echo "warming up for $warm_up s, then measuring for $seconds s"
sleep "$warm_up"
declare -a ns_start ticks_start ns ticks rss
for i in "${!pids[@]}"; do
    ns_start[i]=$(run_ns "${pids[i]}")
    ticks_start[i]=$(cpu_ticks "${pids[i]}") || { echo "${names[i]} ended during the warm-up"; exit 1; }
done
thread_ns "${pids[0]}" >"$session/threads.start"
sleep "$seconds"
thread_ns "${pids[0]}" >"$session/threads.end"
resident_by_file "${pids[0]}" >"$session/service.files"
resident_by_file "${pids[2]}" >"$session/floor.files"
for i in "${!pids[@]}"; do
    ns[i]=$(($(run_ns "${pids[i]}") - ns_start[i]))
    end=$(cpu_ticks "${pids[i]}") || { echo "${names[i]} ended during the measurement"; exit 1; }
    ticks[i]=$((end - ticks_start[i]))
    rss[i]=$(rss_kib "${pids[i]}")
done

tick=$(getconf CLK_TCK)
seconds_of() { awk -v t="$1" -v h="$tick" 'BEGIN { printf "%.2f", t / h }'; }

echo "state of the service: $(kxp_service_state)"
# One table per floor: service, floor, ratio service / floor and the target ratio.
for floor in 1 2; do
    target=$([[ ${names[floor]} == TrayFloor ]] && echo "1.20" || echo "1.50")
    echo "== service / ${names[floor]} (target ${target} x)"
    printf '%-22s %12s %12s %8s\n' "" "service" "${names[floor]}" "ratio"
    printf '%-22s %12s %12s %8s\n' "CPU seconds in ${seconds} s" "$(seconds_of "${ticks[0]}")" \
        "$(seconds_of "${ticks[floor]}")" "$(ratio "${ticks[0]}" "${ticks[floor]}")"
    printf '%-22s %12s %12s %8s\n' "CPU ms (scheduler)" "$((ns[0] / 1000000))" \
        "$((ns[floor] / 1000000))" "$(ratio "${ns[0]}" "${ns[floor]}")"
    printf '%-22s %12s %12s %8s\n' "VmRSS KiB" "${rss[0]}" "${rss[floor]}" \
        "$(ratio "${rss[0]}" "${rss[floor]}")"
done

# What the service spends beyond the tray floor, and where. Its threads besides the first are the
# engine's service thread and the control dispatcher's (Wine adds one of its own); the floors
# together do the service's two jobs of each second (process and memory sampling, tray drawing).
both_floors=$((ns[1] + ns[2]))
echo "== service / (MemoryFloor + TrayFloor), CPU ms (scheduler): $((ns[0] / 1000000)) /" \
    "$((both_floors / 1000000)) = $(ratio "${ns[0]}" "$both_floors")"
echo "== service threads, CPU ms (scheduler) in the window"
join "$session/threads.start" "$session/threads.end" |
    awk '{ printf "  thread %-8s %-18s %8.1f\n", $1, $3, ($4 - $2) / 1e6 }'
echo "== service resident KiB beyond the tray floor"
awk 'NR == FNR { floor[$2] = $1; next }
     $2 == "[anonymous]" { anonymous = $1 - floor[$2]; next }
     !($2 in floor) { only += $1; if ($2 ~ /\.so/) unix += $1 }
     END { printf "  private anonymous memory: %+d\n", anonymous
           printf "  files the floor does not map: %d (Unix libraries among them: %d)\n", only, unix }' \
    "$session/floor.files" "$session/service.files"
