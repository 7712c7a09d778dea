# shellcheck shell=bash
# The real settings program, KorvanelXPSettings.exe, beside the service: its window saves the user
# options it shows and asks the service to read them; "/recover" waits for the recovery it asked
# for; "/quit" ends the service. The stand-in peer window is away meanwhile (a settings window that
# exists already is only brought forward) and comes back at the end; notepad holds Wine's desktop
# meanwhile, which would otherwise be replaced when the last program on it ends.
KXP_CASES+=(settings_window_saves_the_options_and_tells_the_service
    settings_recover_command_waits_for_the_recovery settings_quit_command_ends_the_service)

SETTINGS_USER_KEY='HKCU\Software\KorvanelXP'
SETTINGS_EXE='C:\Program Files\KorvanelXP\KorvanelXPSettings.exe'

settings_window() { xdotool search --name '^KorvanelXP Settings$' 2>/dev/null | head -n 1; }
settings_window_shown() { [[ -n $(settings_window) ]]; }
settings_gone() { ! kill -0 "$1" 2>/dev/null; }
settings_notepad_shown() { xdotool search --onlyvisible --classname notepad.exe >/dev/null 2>&1; }
SETTINGS_KEEPER=""

# Puts the real program where the service starts it (earlier cases put a stub there) and sends the
# peer away.
settings_prepare() {
    local exe
    exe=$(find "$build" -name KorvanelXPSettings.exe -print -quit)
    [[ -n $exe ]] || { fail "no KorvanelXPSettings.exe under $build"; return; }
    cp "$exe" "$WINEPREFIX/drive_c/Program Files/KorvanelXP/KorvanelXPSettings.exe" ||
        { fail "cannot install KorvanelXPSettings.exe"; return; }
    if [[ -z $SETTINGS_KEEPER ]]; then
        SETTINGS_KEEPER=$(kxp_wine_background "$KXP_LOGS/settings-keeper.out" notepad)
        kxp_wait_for 15 settings_notepad_shown || { fail "notepad did not come up"; return; }
    fi
    # Earlier cases may have left more than one.
    kxp_wait_for 10 settings_peers_gone || fail "the peer window does not go"
}

settings_peers_gone() {
    local peer
    peer=$(kxp_program_pid SettingsPeer.exe) || return 0
    kill "$peer" 2>/dev/null
    return 1
}

# A user value as reg.exe prints it ("0x1", "$0000FF00"), or nothing.
settings_user_value() {
    kxp_wine 30 reg query "$SETTINGS_USER_KEY" /v "$1" 2>/dev/null |
        awk -v name="$1" 'tolower($1) == tolower(name) { print $3 }'
}

case_settings_window_saves_the_options_and_tells_the_service() {
    kxp_start_service || { fail "the service does not run"; return; }
    settings_prepare || return
    kxp_wine 30 reg delete "$SETTINGS_USER_KEY" /v Autohide /f >/dev/null 2>&1
    local reads pid window
    reads=$(kxp_trace_lines | grep -cxF 'KorvanelXP: Request: SV_READUSEROPTIONS' || true)
    pid=$(kxp_wine_background "$KXP_LOGS/settings-window.out" "$SETTINGS_EXE")
    kxp_wait_for 30 settings_window_shown || { fail "no settings window"; return; }
    window=$(settings_window)
    sleep 1
    # A second start only brings the first window forward.
    kxp_wine 30 "$SETTINGS_EXE" >/dev/null || { fail "a second start failed"; return; }
    (($(xdotool search --name '^KorvanelXP Settings$' | wc -l) == 1)) ||
        { fail "a second start opened a second window"; return; }
    # The focus starts on the tabs: a picture of every page (scripts/settings-picture.sh keeps
    # them), back to the first, then its language, priority and update windows; Space ticks the
    # last, Return is OK.
    xdotool windowfocus --sync "$window" 2>/dev/null
    local page
    for page in 1 2 3 4 5; do
        import -window "$window" "$KXP_LOGS/settings-page-$page.png" 2>/dev/null
        xdotool key Right
        sleep 0.5
    done
    xdotool key --delay 100 Left Left Left Left Left
    xdotool key --delay 150 Tab Tab Tab space Return
    kxp_wait_for 10 settings_gone "$pid" || { fail "OK did not close the window"; return; }
    local autohide version
    autohide=$(settings_user_value Autohide)
    version=$(settings_user_value Version)
    echo "    saved: Autohide=$autohide Version=$version HotKey2=$(settings_user_value HotKey2)"
    [[ $autohide == 0x1 && $version == 0x96 ]] ||
        { fail "Autohide '$autohide', Version '$version' after OK"; return; }
    kxp_wait_for 5 eval '(($(kxp_trace_lines | grep -cxF "KorvanelXP: Request: SV_READUSEROPTIONS") > reads))' ||
        fail "the service was not asked to read the options"
    kxp_wine 30 reg delete "$SETTINGS_USER_KEY" /v Autohide /f >/dev/null 2>&1
    kxp_control 128 >/dev/null 2>&1
}

case_settings_recover_command_waits_for_the_recovery() {
    kxp_start_service || { fail "the service does not run"; return; }
    settings_prepare || return
    local rc=0 started=$SECONDS
    kxp_wine 90 "$SETTINGS_EXE" /recover >/dev/null || rc=$?
    echo "    /recover ended with $rc after $((SECONDS - started)) s"
    ((rc == 0)) || { fail "/recover ended with $rc"; return; }
    kxp_trace_lines | grep -qF 'KorvanelXP: Message to settings: 4' ||
        fail "no notification 4 in the trace"
}

case_settings_quit_command_ends_the_service() {
    local rc=0
    if kxp_start_service && settings_prepare; then
        kxp_wine 30 "$SETTINGS_EXE" /quit >/dev/null || rc=$?
        if ((rc != 0)); then
            fail "/quit ended with $rc"
        elif ! kxp_control wait STOPPED 10000 >/dev/null; then
            fail "the service did not stop after /quit ($(kxp_service_state))"
            rc=1
        else
            # Nobody to ask: a failure at once, not a wait.
            local started=$SECONDS answer=0
            kxp_wine 30 "$SETTINGS_EXE" /recover >/dev/null || answer=$?
            echo "    /recover without the service: $answer after $((SECONDS - started)) s"
            ((answer == 1)) || { fail "/recover without the service ended with $answer"; rc=1; }
        fi
    else
        fail "the service does not run"
        rc=1
    fi
    kxp_start_peer "$PEER_LOG" >/dev/null || { fail "the peer did not come back"; rc=1; }
    if [[ -n $SETTINGS_KEEPER ]]; then
        kill "$SETTINGS_KEEPER" 2>/dev/null
        kxp_wait_for 10 settings_gone "$SETTINGS_KEEPER"
        SETTINGS_KEEPER=""
    fi
    return $rc
}
