# shellcheck shell=bash
# The ways the service ends.
KXP_CASES+=(quit_code_notifies_and_stops stop_request_stops_within_two_seconds)

case_quit_code_notifies_and_stops() {
    kxp_start_service || { fail "the service does not run"; return; }
    kxp_control 136 >/dev/null 2>&1 || { fail "ControlService(136) failed"; return; }
    wait_for_notification "7 0" 10 || { fail "the peer did not receive '7 0'"; return; }
    kxp_control wait STOPPED 10000 >/dev/null ||
        { fail "not STOPPED after code 136 (state '$(kxp_service_state)')"; return; }
    kxp_wait_for 10 eval '! kxp_service_pid >/dev/null' || fail "STOPPED, but the process remains"
}

case_stop_request_stops_within_two_seconds() {
    kxp_start_service || { fail "the service does not start again"; return; }
    local answer rc=0
    answer=$(kxp_control stop 10000) || rc=$?
    ((rc == 0)) || { fail "stop: '$answer' (exit $rc)"; return; }
    local ms
    ms=$(sed -n 's/^stopped after \([0-9]*\) ms$/\1/p' <<<"$answer")
    echo "    stop took $ms ms, $(grep '^checkpoints:' <<<"$answer")"
    [[ -n $ms ]] || { fail "stop: '$answer'"; return; }
    ((ms <= 2000)) || fail "stopped only after $ms ms"
}
