# shellcheck shell=bash
# Installing, starting, and codes the service does not know.
KXP_CASES+=(install_registers_service start_runs unknown_code_changes_nothing)

case_install_registers_service() {
    kxp_install_service || { fail "/INSTALL /SILENT failed or did not return"; return; }
    local state
    state=$(kxp_service_state) || { fail "the service cannot be queried after INSTALL"; return; }
    [[ $state == STOPPED ]] || { fail "state after INSTALL is '$state'"; return; }
    local image
    image=$(kxp_wine 30 reg query "$KXP_SERVICE_KEY" /v ImagePath | grep -a ImagePath)
    [[ $image =~ REG_(EXPAND_)?SZ[[:space:]]+\" ]] ||
        { fail "ImagePath not quoted: '$image'"; return; }
    kxp_enable_trace || fail "cannot set DebugTrace"
}

case_start_runs() {
    kxp_start_service || { fail "no RUNNING after start (state '$(kxp_service_state)')"; return; }
    kxp_service_pid >/dev/null || fail "RUNNING, but no Linux process for the service"
}

case_unknown_code_changes_nothing() {
    local pid_before notes_before pid_after
    pid_before=$(kxp_service_pid) || { fail "the service is not running"; return; }
    wait_for_quiet_peer || { fail "the peer never stopped receiving start-up notifications"; return; }
    notes_before=$(peer_notification_count)
    kxp_control 150 >/dev/null 2>&1 || { fail "ControlService(150) failed"; return; }
    sleep 1
    service_still_running || return
    pid_after=$(kxp_service_pid)
    [[ $pid_after == "$pid_before" ]] || { fail "the service process changed"; return; }
    [[ $(peer_notification_count) == "$notes_before" ]] || fail "the peer received a notification"
}
