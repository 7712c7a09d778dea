# shellcheck shell=bash
# Session tracking under Wine, whose own explorer is the shell: the logged-on user and SID as Wine
# reports them, the peak memory notification at start and on code 129, and the process watch (an
# installer process, a "korvanel.exe"). The trace must be on (DebugTrace, set at install).
KXP_CASES+=(session_user_and_sid_are_wines peak_usage_at_start_and_on_code_129
    installer_process_is_seen korvanel_exe_is_ended)

# Number of trace lines containing the text.
session_trace_count() { kxp_trace_lines | grep -cF -- "$1" || true; }

# Whether more than COUNT trace lines contain the text. Usage: session_traced_more TEXT COUNT
session_traced_more() { (($(session_trace_count "$1") > $2)); }

# Used memory in MB as Wine counts it: available is MemFree + Buffers + Cached.
session_used_mb() {
    awk '/^MemTotal:/ {t=$2} /^MemFree:/ {f=$2} /^Buffers:/ {b=$2} /^Cached:/ {c=$2}
        END {printf "%d\n", (t - f - b - c) / 1024}' /proc/meminfo
}
session_total_mb() { awk '/^MemTotal:/ {printf "%d\n", $2 / 1024}' /proc/meminfo; }

# The values of the peer's notifications with code 5, one per line, in order.
session_peak_values() { awk '$1 == 5 {print $2}' "$PEER_LOG"; }

# Whether the peer has received more than COUNT of them.
session_peaks_more() { (($(session_peak_values | wc -l) > $1)); }

# A copy of ControlSender under another name: a program that waits (for a service state that
# never comes) and so stays in the process list for a while. Prints its Windows path.
session_waiting_program() {
    local name=$1
    cp "$WINEPREFIX/drive_c/KorvanelXPTest/ControlSender.exe" "$WINEPREFIX/drive_c/KorvanelXPTest/$name"
    echo "C:\\KorvanelXPTest\\$name"
}

# Waits until a process is gone. Usage: session_wait_gone PID SECONDS
session_gone() { ! kill -0 "$1" 2>/dev/null; }
session_wait_gone() { kxp_wait_for "$2" session_gone "$1"; }

# Runs the program for up to SECONDS and prints its Linux pid.
session_start_waiting() {
    local program=$1 seconds=$2
    kxp_wine_background "$KXP_LOGS/$(basename "${program//\\//}").out" "$program" \
        "$KXP_SERVICE_NAME" wait PAUSED $((seconds * 1000))
}

case_session_user_and_sid_are_wines() {
    kxp_start_service || { fail "the service does not run"; return; }
    kxp_wait_for 10 session_traced_more "Session user: " 0 ||
        { fail "no 'Session user: ' trace (is DebugTrace on?)"; return; }
    local line user sid wine_user wine_sid
    # Wine's debug channel doubles each backslash of the text.
    line=$(kxp_trace_lines | grep -F "Session user: " | tail -n 1 | sed 's/\\\\/\\/g')
    echo "    trace: $line"
    user=${line#*Session user: }
    sid=${user#* }
    user=${user%% *}
    wine_user=$(kxp_wine 30 cmd /c 'echo %USERNAME%' | tr -d '[:space:]')
    # HKEY_USERS holds .Default and the user's SID.
    wine_sid=$(kxp_wine 30 reg query HKU | grep -aoE 'S-1-5-21(-[0-9]+)+' | head -n 1)
    echo "    Wine: user '$wine_user', SID '$wine_sid'"
    [[ -n $wine_user && $user == "$wine_user" ]] || { fail "user '$user', Wine says '$wine_user'"; return; }
    [[ -n $wine_sid && $sid == "\\$wine_sid" ]] || fail "SID '$sid', Wine has '\\$wine_sid'"
}

case_peak_usage_at_start_and_on_code_129() {
    kxp_start_service || { fail "the service does not run"; return; }
    # At start the service reports the peak before its loop and again in its first pass.
    kxp_wait_for 10 session_peaks_more 1 ||
        { fail "the peer did not receive notification 5 twice at start"; return; }
    local total first before after count latest
    total=$(session_total_mb)
    first=$(session_peak_values | head -n 1)
    ((first > 0 && first <= total)) || { fail "peak at start $first MB of $total MB"; return; }

    count=$(session_peak_values | wc -l)
    before=$(session_used_mb)
    kxp_control 129 >/dev/null 2>&1 || { fail "ControlService(129) failed"; return; }
    kxp_wait_for 10 session_peaks_more "$count" ||
        { fail "no notification 5 after code 129"; return; }
    after=$(session_used_mb)
    latest=$(session_peak_values | tail -n 1)
    echo "    peak at start $first MB, after 129 $latest MB; used now $before..$after MB of $total MB"
    ((latest >= first)) || { fail "the peak went down: $first then $latest"; return; }
    ((latest <= total)) || { fail "peak $latest MB above the installed $total MB"; return; }
    # Code 129 samples at once, so the peak is at least what was in use then (a little slack for
    # memory that others freed meanwhile).
    local low=$((before < after ? before : after))
    ((latest >= low - total / 20)) || fail "peak $latest MB below the $low MB in use"
}

case_installer_process_is_seen() {
    kxp_start_service || { fail "the service does not run"; return; }
    local builds lower upper pid
    # The same letters in lower case are no installer: no rebuild of the hot keys afterwards.
    builds=$(session_trace_count "BuildHotkeys")
    lower=$(session_waiting_program setup_ins.exe)
    pid=$(session_start_waiting "$lower" 3)
    session_wait_gone "$pid" 15 || { fail "setup_ins.exe did not end"; return; }
    sleep 3
    (($(session_trace_count "BuildHotkeys") == builds)) ||
        { fail "a lower-case '_ins' process was taken for an installer"; return; }

    # An installer releases the hot keys; once it is gone the service builds them again.
    upper=$(session_waiting_program Setup_INS.exe)
    pid=$(session_start_waiting "$upper" 4)
    session_wait_gone "$pid" 15 || { fail "Setup_INS.exe did not end"; return; }
    kxp_wait_for 6 session_traced_more BuildHotkeys "$builds" ||
        { fail "no 'BuildHotkeys' after the '_INS' process ended"; return; }
    echo "    BuildHotkeys traced $(($(session_trace_count "BuildHotkeys") - builds)) time(s)"
    service_still_running
}

case_korvanel_exe_is_ended() {
    kxp_start_service || { fail "the service does not run"; return; }
    local program pid started
    program=$(session_waiting_program KORVANEL.EXE)
    started=$SECONDS
    pid=$(session_start_waiting "$program" 30)
    # The scan runs every second: the process must go long before its own 30 s are up.
    session_wait_gone "$pid" 10 ||
        { kill "$pid" 2>/dev/null; fail "KORVANEL.EXE still runs after 10 s"; return; }
    echo "    KORVANEL.EXE ended after $((SECONDS - started)) s"
    service_still_running
}
