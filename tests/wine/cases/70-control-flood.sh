# shellcheck shell=bash
# A flood of control codes: every user code the service knows or not, as fast as a client can send
# them. The service keeps running and answering, acts on the last request, and still stops at once.
KXP_CASES+=(control_flood_keeps_the_service_answering)

FLOOD_CODES=10000

case_control_flood_keeps_the_service_answering() {
    kxp_start_service || { fail "the service does not run"; return; }
    wait_for_quiet_peer || { fail "the peer kept receiving notifications"; return; }
    local peaks answer rc=0
    peaks=$(grep -c '^5 ' "$PEER_LOG")
    answer=$(kxp_wine 300 'C:\KorvanelXPTest\ControlSender.exe' "$KXP_SERVICE_NAME" flood \
        "$FLOOD_CODES" "$RANDOM") || rc=$?
    ((rc == 0)) || { fail "flood: '$answer' (exit $rc)"; return; }
    local codes ms
    read -r _ codes _ _ ms _ <<<"$answer"
    echo "    $answer ($((codes * 1000 / (ms > 0 ? ms : 1))) codes/s)"
    service_still_running || return
    kxp_wait_for 10 eval '(($(grep -c "^5 " "$PEER_LOG") > peaks))' ||
        { fail "no notification 5 for the flood's last 129"; return; }
    answer=$(kxp_control stop 10000) || { fail "stop after the flood: '$answer'"; return; }
    ms=$(sed -n 's/^stopped after \([0-9]*\) ms$/\1/p' <<<"$answer")
    echo "    stop after the flood took $ms ms"
    [[ -n $ms ]] && ((ms <= 2000)) || fail "stopped only after '$ms' ms"
}
