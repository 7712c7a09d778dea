# shellcheck shell=bash
# Removal; last, as every other case needs the service installed.
KXP_CASES+=(uninstall_removes_service)

case_uninstall_removes_service() {
    if [[ $(kxp_service_state) == RUNNING ]]; then
        kxp_control stop 10000 >/dev/null 2>&1
    fi
    kxp_uninstall_service || { fail "/UNINSTALL /SILENT failed or did not return"; return; }
    kxp_service_state >/dev/null && { fail "the service can still be queried"; return; }
    if kxp_wine 30 reg query "$KXP_SERVICE_KEY" /v ImagePath >/dev/null 2>&1; then
        fail "ImagePath is still there"
    fi
}
