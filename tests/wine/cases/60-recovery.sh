# shellcheck shell=bash
# RAM recovery on codes 133 and 137. A recovery asks for all the free memory the figures report, so
# these cases never run in the harness's own session: they start a second session of their own,
# inside a mount namespace with small faked figures (1024 MiB installed, 453 MiB free, so that the
# block is about 512 MB), send both codes there once, and each case then checks its part of what
# that run recorded: the notifications, the trace, and the service process's resident memory.
KXP_CASES+=(recovery_code_133_allocates_fills_and_releases recovery_code_137_runs_a_quiet_recovery
    stop_during_a_recovery_reports_progress_and_stops)

RECOVERY_TOTAL_MIB=1024
RECOVERY_FREE_MIB=453
RECOVERY_RESULTS=""

# Milliseconds since the epoch.
recovery_now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Waits until the peer log holds more than N lines equal to LINE; prints the time it saw it.
# Usage: recovery_wait_line LOG LINE N SECONDS
recovery_wait_line() {
    local log=$1 line=$2 count=$3 deadline=$((SECONDS + $4))
    until (($(grep -cxF "$line" "$log") > count)); do
        ((SECONDS < deadline)) || return 1
        sleep 0.01
    done
    recovery_now_ms
}

# kB of a field of /proc/PID/status (VmHWM, VmRSS).
recovery_status_kb() { awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status" 2>/dev/null; }

recovery_service_answers() { [[ $(kxp_service_state) == RUNNING ]] && kxp_control 4 >/dev/null; }

# The second session, run inside the namespace by recovery_run. Writes into RESULTS: peer.log,
# traces.txt, and per code a line "CODE MS_FROM_3_TO_4 PEAK_KB_DURING RSS_KB_AFTER" in runs.txt;
# "error" with the reason when something did not come up.
# Usage: recovery_session BUILD SOURCE RESULTS
recovery_session() {
    local build=$1 source=$2 results=$3
    trap kxp_session_stop EXIT
    trap 'exit 143' TERM INT
    kxp_session_start "$results/session" --own-display || {
        echo "the second Wine session did not start" >"$results/error"
        return 1
    }
    echo "$KXP_XVFB_PID" >"$results/xvfb.pid"
    kxp_deploy "$build" "$source" >/dev/null || { echo "cannot deploy" >"$results/error"; return 1; }
    kxp_install_service && kxp_enable_trace || { echo "cannot install" >"$results/error"; return 1; }
    local peer="$results/peer.log"
    kxp_start_peer "$peer" >/dev/null || { echo "no SettingsPeer" >"$results/error"; return 1; }
    kxp_start_service || { echo "the service did not start" >"$results/error"; return 1; }
    # Requests wait for a pass with a user logged on; the start reports the peak (5) to say so.
    kxp_wait_for 20 grep -q '^5 ' "$peer" || {
        echo "the service saw no logged-on user (no notification 5)" >"$results/error"
        return 1
    }
    local pid code seen t3 t4
    pid=$(kxp_service_pid) || { echo "no service process" >"$results/error"; return 1; }
    for code in 133 137; do
        seen=$(grep -cxF "4 0" "$peer")
        echo 5 >"/proc/$pid/clear_refs"  # the peak resident size starts again from here
        kxp_control "$code" >/dev/null || { echo "ControlService($code) failed" >"$results/error"; return 1; }
        t3=$(recovery_wait_line "$peer" "3 0" "$seen" 15) || break
        t4=$(recovery_wait_line "$peer" "4 0" "$seen" 60) || break
        sleep 0.5
        echo "$code $((t4 - t3)) $(recovery_status_kb "$pid" VmHWM) $(recovery_status_kb "$pid" VmRSS)" \
            >>"$results/runs.txt"
    done
    recovery_service_answers && echo running >"$results/state"
    # A third recovery, stopped while it runs.
    seen=$(grep -cxF "3 0" "$peer")
    kxp_control 133 >/dev/null &&
        recovery_wait_line "$peer" "3 0" "$seen" 15 >/dev/null &&
        kxp_control stop 10000 >"$results/stop.txt" 2>&1
    kxp_trace_lines | sed 's/^KorvanelXP: //' >"$results/traces.txt"
}

# Runs the second session once for both cases. Usage: recovery_run (fails with the reason)
recovery_run() {
    [[ -n $RECOVERY_RESULTS && -f $RECOVERY_RESULTS/done ]] && return 0
    RECOVERY_RESULTS="$session/recovery"
    mkdir -p "$RECOVERY_RESULTS"
    # shellcheck source=scripts/lib/fake-memory.sh
    source "$root/scripts/lib/fake-memory.sh"
    kxp_fake_memory_prepare "$RECOVERY_RESULTS/fake" "$RECOVERY_TOTAL_MIB" "$RECOVERY_FREE_MIB" ||
        { fail "cannot fake the memory figures"; return; }
    kxp_fake_memory_run "$RECOVERY_RESULTS/fake" timeout --kill-after=20 300 bash -c \
        'source "$1"; source "$2"; recovery_session "$3" "$4" "$5"' _ \
        "$root/scripts/lib/wine-session.sh" "$here/cases/60-recovery.sh" "$build" "$root" \
        "$RECOVERY_RESULTS" >"$RECOVERY_RESULTS/session.out" 2>&1
    recovery_cleanup "$RECOVERY_RESULTS"
    touch "$RECOVERY_RESULTS/done"
}

# Whatever of the second session outlived it (after a time-out), and its prefix; the logs stay.
recovery_cleanup() {
    local results=$1 pid
    local prefix="$results/session/prefix"
    local leftovers
    leftovers=$(WINEPREFIX=$prefix kxp_session_pids)
    if [[ -n $leftovers ]]; then
        WINEPREFIX=$prefix timeout 30 wineserver -k 2>/dev/null
        for pid in $(WINEPREFIX=$prefix kxp_session_pids); do kill -KILL "$pid" 2>/dev/null; done
    fi
    pid=$(cat "$results/xvfb.pid" 2>/dev/null)
    if [[ -n $pid ]] && grep -q Xvfb "/proc/$pid/cmdline" 2>/dev/null; then kill "$pid"; fi
    rm -rf "$prefix"
}

# Checks the run of one code: both notifications, the trace of a filled block of the faked size,
# the resident memory that rose by the block and fell again. Usage: recovery_check CODE ORDINAL
recovery_check() {
    local code=$1 ordinal=$2 results=$RECOVERY_RESULTS
    [[ -f $results/error ]] && { fail "$(<"$results/error")"; return; }
    local run
    run=$(awk -v c="$code" '$1 == c' "$results/runs.txt" 2>/dev/null)
    [[ -n $run ]] || { fail "notification 3 then 4 did not arrive after code $code"; return; }
    local ms peak after
    read -r _ ms peak after <<<"$run"
    local size
    size=$(grep -a '^Getmem: ' "$results/traces.txt" | sed -n "${ordinal}p" | cut -d' ' -f2)
    [[ -n $size ]] || { fail "no 'Getmem: ' line for recovery $ordinal"; return; }
    echo "    code $code: block of $size MiB, 3 -> 4 in $ms ms, peak resident $((peak / 1024)) MB," \
        "$((after / 1024)) MB after"
    awk -v s="$size" 'BEGIN { exit !(s > 480 && s < 540) }' ||
        { fail "block of $size MiB, not the faked figures' ~512"; return; }
    (($(grep -acxF '### FILLING ###' "$results/traces.txt") >= ordinal)) ||
        { fail "the block was not filled"; return; }
    (($(grep -acxF '+RecoverMemory' "$results/traces.txt") >= ordinal)) ||
        { fail "the recovery did not end normally"; return; }
    ((peak - after > 400 * 1024)) ||
        { fail "resident memory rose to $peak kB and fell to $after kB only"; return; }
    [[ -f $results/state ]] || fail "the service no longer answered after the recoveries"
}

case_recovery_code_133_allocates_fills_and_releases() {
    recovery_run || return
    recovery_check 133 1
}

case_recovery_code_137_runs_a_quiet_recovery() {
    recovery_run || return
    recovery_check 137 2
}

case_stop_during_a_recovery_reports_progress_and_stops() {
    recovery_run || return
    local results=$RECOVERY_RESULTS
    [[ -f $results/error ]] && { fail "$(<"$results/error")"; return; }
    [[ -s $results/stop.txt ]] || { fail "the third recovery did not start"; return; }
    local ms checkpoints
    ms=$(sed -n 's/^stopped after \([0-9]*\) ms$/\1/p' "$results/stop.txt")
    checkpoints=$(sed -n 's/^checkpoints: *//p' "$results/stop.txt")
    echo "    stopped during a recovery after ${ms:-?} ms; stop-pending checkpoints: ${checkpoints:-none}"
    [[ -n $ms ]] || { fail "not stopped: $(tr '\n' ' ' <"$results/stop.txt")"; return; }
    [[ -n $checkpoints ]] || { fail "no stop-pending report was seen"; return; }
    local previous=0 checkpoint
    for checkpoint in $checkpoints; do
        ((checkpoint > previous)) || { fail "checkpoints do not increase: $checkpoints"; return; }
        previous=$checkpoint
    done
}
