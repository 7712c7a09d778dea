# shellcheck shell=bash
# Machine options under HKEY_LOCAL_MACHINE, seen through the service's trace: a reload on code 132,
# 64-bit sizes, the file cache bounds sent (Wine accepts the set and ignores it), and a wrong-typed
# value that must not end the service.
KXP_CASES+=(machine_options_take_effect_after_code_132 wrong_typed_machine_option_keeps_service)

KXP_OPTIONS_KEY='HKLM\Software\KorvanelXP'

# Usage: set_machine_option NAME TYPE DATA
set_machine_option() {
    kxp_wine 30 reg add "$KXP_OPTIONS_KEY" /v "$1" /t "$2" /d "$3" /f >/dev/null
}

# Number of trace lines containing the text.
trace_count() { kxp_trace_lines | grep -cF -- "$1" || true; }

# Usage: trace_count_above TEXT COUNT
trace_count_above() { (($(trace_count "$1") > $2)); }

# Waits until more than BEFORE trace lines contain the text. Usage: wait_for_trace TEXT BEFORE SECONDS
wait_for_trace() { kxp_wait_for "$3" trace_count_above "$1" "$2"; }

case_machine_options_take_effect_after_code_132() {
    kxp_start_service || { fail "the service does not run"; return; }
    local reads sets
    reads=$(trace_count "ReadLocalOptions NoCounters=")
    ((reads > 0)) || { fail "no options read traced at start (is DebugTrace on?)"; return; }
    sets=$(trace_count "SetFileCache 67108864 67108864")
    # Recover off: with the limit above the free memory, an automatic recovery would start.
    if ! { set_machine_option Recover REG_DWORD 0 && set_machine_option Below REG_DWORD 4096 &&
        set_machine_option Cache REG_DWORD 2 && set_machine_option CacheMax REG_DWORD 64 &&
        set_machine_option Shell REG_SZ 'C:\windows\MyShell.EXE'; }; then
        fail "cannot write the machine options"
        return
    fi
    kxp_control 132 >/dev/null 2>&1 || { fail "ControlService(132) failed"; return; }
    wait_for_trace "ReadLocalOptions NoCounters=" "$reads" 10 ||
        { fail "no options read traced after code 132 (no logged-on user?)"; return; }
    local line
    line=$(kxp_trace_lines | grep -F "ReadLocalOptions NoCounters=" | tail -n 1)
    echo "    $line"
    [[ $line == *" Below=4294967296 "* ]] || { fail "Below not 4096 MiB in bytes: $line"; return; }
    [[ $line == *" Cache=2 "* && $line == *" CacheMax=67108864 "* ]] ||
        { fail "manual cache of 64 MiB not read: $line"; return; }
    [[ $line == *" Shell=myshell.exe ShellInUse=1 "* ]] || { fail "shell not read: $line"; return; }
    # The quota privilege comes with a positive Cache; the bounds follow within ten passes.
    wait_for_trace "SetFileCache 67108864 67108864" "$sets" 15 ||
        { fail "no file cache set of 64 MiB traced"; return; }
    echo "    $(kxp_trace_lines | grep -F "SetFileCache 67108864" | tail -n 1)"
    kxp_trace_lines | grep -F "EnablePrivilege" | sort | uniq -c | sed 's/^/    /'
    service_still_running
}

case_wrong_typed_machine_option_keeps_service() {
    local text="###### ReadLocalOptions error: Invalid data type for 'Threshold'" errors
    errors=$(trace_count "$text")
    set_machine_option Threshold REG_SZ 50 || { fail "cannot write Threshold"; return; }
    # At start the read comes before the loop, with or without a logged-on user.
    if [[ $(kxp_service_state) == RUNNING ]]; then
        kxp_control stop 10000 >/dev/null 2>&1 || { fail "the service does not stop"; return; }
    fi
    kxp_start_service || { fail "the service does not start with a wrong-typed option"; return; }
    wait_for_trace "$text" "$errors" 10 || { fail "the wrong type was not traced at start"; return; }
    sleep 3
    service_still_running || return
    # In the loop, on code 132 (acted upon while a user is logged on).
    kxp_control 132 >/dev/null 2>&1 || { fail "ControlService(132) failed"; return; }
    wait_for_trace "$text" "$((errors + 1))" 10 ||
        { fail "the wrong type was not traced on code 132 (no logged-on user?)"; return; }
    sleep 2
    service_still_running || return
    kxp_wine 30 reg delete "$KXP_OPTIONS_KEY" /f >/dev/null || { fail "cannot remove the options"; return; }
    kxp_control 132 >/dev/null 2>&1
}
