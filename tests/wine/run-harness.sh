#!/usr/bin/env bash
# Integration run of the real KorvanelXP.exe under Wine: a throwaway prefix under /tmp, an own Xvfb,
# Wine's explorer as the desktop shell, the service installed and started through the service
# control manager, and SettingsPeer standing in for the settings program. Prints "PASS name" or
# "FAIL name: why" per case and ends with "N passed, M failed".
#
#   run-harness.sh [--build DIR] [--only REGEX] [--keep]
#
# The cases live in cases/*.sh, run in file order; each file appends its case names to KXP_CASES and
# defines case_<name>. A case returns 0 to pass, or calls fail "why" and returns non-zero. Cases run
# in one session, one after the other: a case may rely on the service being installed, and calls
# kxp_start_service when it needs it running.
set -u

args=("$@")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build="$root/build/windows"
only=""
keep=""
while (($#)); do
    case $1 in
        --build) build=$(cd "$2" && pwd) || exit 2; shift 2 ;;
        --only) only=$2; shift 2 ;;
        --keep) keep=yes; shift ;;
        *) echo "usage: $0 [--build DIR] [--only REGEX] [--keep]" >&2; exit 2 ;;
    esac
done

# shellcheck source=scripts/lib/wine-session.sh
source "$root/scripts/lib/wine-session.sh"

# A case may start a RAM recovery (a control code, or automatically once the options raise the free
# memory limit), and a recovery asks for all the free memory the figures report. So the whole run sees
# small faked figures, never the machine's own.
if [[ -z ${KXP_FAKED_MEMORY:-} ]]; then
    # shellcheck source=scripts/lib/fake-memory.sh
    source "$root/scripts/lib/fake-memory.sh"
    fake_dir=$(mktemp -d /tmp/kxp-fake-memory.XXXXXX)
    kxp_fake_memory_prepare "$fake_dir" 1024 453 || exit 1
    KXP_FAKED_MEMORY=yes kxp_fake_memory_run "$fake_dir" bash "$0" "${args[@]}"
    rc=$?
    rm -rf "$fake_dir"
    exit $rc
fi

session=$(mktemp -d /tmp/kxp-harness.XXXXXX)
passed=0
failed=0
WHY=""

finished=""
finish() {
    [[ -n "$finished" ]] && return
    finished=yes
    kxp_session_stop
    if [[ -n "$keep" ]]; then
        echo "session kept in $session"
    elif ((failed > 0)); then
        rm -rf "$session/prefix"
        echo "logs of the failed run: $session/logs"
    else
        rm -rf "$session"
    fi
}
trap finish EXIT
trap 'exit 130' INT TERM

fail() {
    WHY=$*
    return 1
}

report() {
    if (($1 == 0)); then
        echo "PASS $2"
        passed=$((passed + 1))
    else
        echo "FAIL $2: ${WHY:-no reason given}"
        failed=$((failed + 1))
    fi
}

# --- helpers for the cases ---------------------------------------------------------------------

# The notification log of the settings window stand-in started with the session. kxp_start_peer
# prints a peer's Linux pid (kill it to remove its window) and starts a hung one with --hang.
PEER_LOG=""

# Number of notifications the peer has logged.
peer_notification_count() { grep -c . "$PEER_LOG" 2>/dev/null || true; }

# Waits (at most 12 s) until the peer has logged nothing new for two seconds, so that a case can
# count what its own request brings and not the start-up notifications still arriving.
wait_for_quiet_peer() {
    local before after
    for _ in 1 2 3 4 5 6; do
        before=$(peer_notification_count)
        sleep 2
        after=$(peer_notification_count)
        [[ $before == "$after" ]] && return 0
    done
    return 1
}

# Waits until the peer has logged the line, e.g. "7 0". Usage: wait_for_notification LINE SECONDS
wait_for_notification() { kxp_wait_for "$2" grep -qxF "$1" "$PEER_LOG"; }

# "Still running" the way Wine allows it to be seen: a dead service can still show RUNNING, so the
# state, an answered INTERROGATE and the Linux process must all agree.
service_still_running() {
    local state
    state=$(kxp_service_state)
    [[ $state == RUNNING ]] || { fail "state is '$state', not RUNNING"; return; }
    kxp_control 4 >/dev/null 2>&1 || { fail "INTERROGATE not answered"; return; }
    kxp_service_pid >/dev/null || fail "the service's process is gone"
}

# --- session -----------------------------------------------------------------------------------

setup() {
    kxp_session_start "$session" --own-display || { fail "the Wine session did not start"; return; }
    kxp_deploy "$build" "$root" || { fail "cannot deploy from $build"; return; }
    PEER_LOG="$KXP_LOGS/peer.log"
    kxp_start_peer "$PEER_LOG" >/dev/null || fail "SettingsPeer did not come up"
}

KXP_CASES=()
for file in "$here"/cases/*.sh; do
    # shellcheck source=/dev/null
    source "$file"
done

WHY=""
setup
setup_rc=$?
if ((setup_rc != 0)); then
    report 1 setup
else
    for name in "${KXP_CASES[@]}"; do
        [[ -n "$only" && ! $name =~ $only ]] && continue
        WHY=""
        "case_$name"
        report $? "$name"
    done
fi

finish
echo "$passed passed, $failed failed"
((failed == 0))
