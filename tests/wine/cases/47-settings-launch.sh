# shellcheck shell=bash
# The settings program at a first run (no user options key): a stub in its place is started as the
# user on "Winsta0\Default" in the service's folder, its command line quoted; with the settings
# window already open nothing is started and nothing sent; the old "Korvanel" Run value goes, other
# Run values stay. A user's language without a file leaves the service answering code 129.
KXP_CASES+=(first_run_starts_settings_as_the_user open_settings_window_is_not_started_again
    missing_language_file_keeps_the_service_answering)

KXP_RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
KXP_SETTINGS_PATH_LINUX=""

launch_record() { echo "$WINEPREFIX/drive_c/KorvanelXPTest/settings-stub.txt"; }

# A field of the stub's record. Usage: launch_field NAME
launch_field() { sed -n "s/^$1=//p" "$(launch_record)" | tr -d '\r'; }

launch_stop_service() {
    [[ $(kxp_service_state) == RUNNING ]] || return 0
    kxp_control stop 10000 >/dev/null 2>&1
}

launch_stop_peer() {
    local pid
    pid=$(kxp_program_pid SettingsPeer.exe) || return 0
    kill "$pid" 2>/dev/null
    kxp_wait_for 10 launch_gone "$pid"
}

launch_gone() { ! kill -0 "$1" 2>/dev/null; }

case_first_run_starts_settings_as_the_user() {
    local stub
    # shellcheck disable=SC2154 # the harness's build folder
    stub=$(find "$build" -name SettingsStub.exe -print -quit)
    [[ -n $stub ]] || { fail "no SettingsStub.exe under $build"; return; }
    KXP_SETTINGS_PATH_LINUX="$WINEPREFIX/drive_c/Program Files/KorvanelXP/KorvanelXPSettings.exe"
    launch_stop_service || { fail "the service does not stop"; return; }
    launch_stop_peer || { fail "the settings window stand-in does not go away"; return; }
    cp "$stub" "$KXP_SETTINGS_PATH_LINUX"
    rm -f "$(launch_record)"
    kxp_wine 30 reg delete 'HKCU\Software\KorvanelXP' /f >/dev/null 2>&1
    if ! { kxp_wine 30 reg add "$KXP_RUN_KEY" /v Korvanel /d 'C:\old\korvanel.exe' /f &&
        kxp_wine 30 reg add "$KXP_RUN_KEY" /v KeepMe /d 'C:\other.exe' /f; } >/dev/null; then
        fail "cannot write the Run values"
        return
    fi
    local wine_user
    wine_user=$(kxp_wine 30 cmd /c echo %USERNAME%)
    kxp_start_service || { fail "the service does not start"; return; }
    kxp_wait_for 20 test -s "$(launch_record)" || { fail "the settings stub was not started"; return; }
    sed 's/^/    /' "$(launch_record)"
    [[ $(launch_field user) == "$wine_user" ]] ||
        { fail "started as '$(launch_field user)', not as '$wine_user'"; return; }
    local desktop
    desktop=$(launch_field desktop)
    [[ ${desktop,,} == 'winsta0\default' ]] || { fail "desktop '$desktop'"; return; }
    # No check of the priority class: Wine 8 gives every new process the normal class whatever the
    # creation flags ask for (so does "cmd /c start /high"); the simulated machine checks the flags.
    local directory
    directory=$(launch_field directory)
    [[ ${directory%\\} == "$KXP_INSTALL_DIR_WIN" ]] ||
        { fail "current directory '$directory'"; return; }
    [[ $(launch_field commandline) == "\"$KXP_INSTALL_DIR_WIN\\KorvanelXPSettings.exe\""* ]] ||
        { fail "command line not quoted: $(launch_field commandline)"; return; }
    kxp_wine 30 reg query "$KXP_RUN_KEY" /v Korvanel >/dev/null 2>&1 &&
        { fail "the Korvanel Run value is still there"; return; }
    kxp_wine 30 reg query "$KXP_RUN_KEY" /v KeepMe >/dev/null 2>&1 ||
        fail "the other Run value went too"
}

case_open_settings_window_is_not_started_again() {
    launch_stop_service || { fail "the service does not stop"; return; }
    PEER_LOG="$KXP_LOGS/peer-launch.log"
    kxp_start_peer "$PEER_LOG" >/dev/null || { fail "SettingsPeer did not come up"; return; }
    rm -f "$(launch_record)"
    kxp_wine 30 reg delete "$KXP_RUN_KEY" /v KeepMe /f >/dev/null 2>&1
    kxp_start_service || { fail "the service does not start"; return; }
    # The peak report comes just before the options are read and the first-run check.
    kxp_wait_for 20 grep -q '^5 ' "$PEER_LOG" || { fail "no start-up notification"; return; }
    wait_for_quiet_peer || { fail "the peer never became quiet"; return; }
    local rc=0
    [[ -e $(launch_record) ]] && { fail "the settings program was started again"; rc=1; }
    ((rc == 0)) && grep -q '^1 ' "$PEER_LOG" && { fail "notification 1 sent at start"; rc=1; }
    rm -f "$KXP_SETTINGS_PATH_LINUX"
    return $rc
}

launch_language_traces() { kxp_trace_lines | grep -cx -- 'KorvanelXP: language: ' || true; }
launch_peaks() { grep -c '^5 ' "$PEER_LOG" || true; }
launch_more() { (($("$1") > $2)); }

case_missing_language_file_keeps_the_service_answering() {
    kxp_start_service || { fail "the service does not run"; return; }
    local empty peaks
    empty=$(launch_language_traces)
    kxp_wine 30 reg add 'HKCU\Software\KorvanelXP' /v Language /d Klingon /f >/dev/null ||
        { fail "cannot write Language"; return; }
    kxp_control 128 >/dev/null 2>&1 || { fail "ControlService(128) failed"; return; }
    # The loader found no file and loaded nothing (its box is up meanwhile, not waited for).
    kxp_wait_for 10 launch_more launch_language_traces "$empty" ||
        { fail "no 'language: ' with an empty name traced after code 128"; return; }
    peaks=$(launch_peaks)
    kxp_control 129 >/dev/null 2>&1 || { fail "ControlService(129) failed"; return; }
    kxp_wait_for 10 launch_more launch_peaks "$peaks" ||
        { fail "no peak notification after code 129"; return; }
    service_still_running || return
    kxp_wine 30 reg delete 'HKCU\Software\KorvanelXP' /f >/dev/null 2>&1
    # Under Wine the box has a thread in the service's process, and the process waits for its
    # boxes before it ends: nobody here closes the box, so the stopped process goes by force.
    kxp_control stop 10000 >/dev/null 2>&1 || { fail "the service does not stop"; return; }
    local pid
    if pid=$(kxp_service_pid); then
        kill "$pid" 2>/dev/null
        kxp_wait_for 10 launch_gone "$pid" || { fail "the stopped process does not end"; return; }
    fi
}
