# shellcheck shell=bash
# The service's hot keys under Wine, with the default options: hot key 2 (Ctrl+Alt+End) belongs to
# the service, so another program cannot register it; an installer process makes the service let
# go of it until the installer has ended; a press with the pointer on the desktop reaches the
# service, and codes 130 and 131 switch its effect off and on. The trace must be on.
KXP_CASES+=(hotkey_2_is_given_up_while_an_installer_runs hotkey_press_reaches_the_service)

readonly HOTKEYS_CTRL_ALT=3 HOTKEYS_END=35

# Another program's try at Ctrl+Alt+End: prints "registered" or the refusal with its error.
hotkeys_try_ctrl_alt_end() { kxp_control hotkey "$HOTKEYS_CTRL_ALT" "$HOTKEYS_END" 2>/dev/null; }
hotkeys_free() { [[ $(hotkeys_try_ctrl_alt_end) == registered ]]; }
hotkeys_taken() { [[ $(hotkeys_try_ctrl_alt_end) == *"error 1409"* ]]; }

hotkeys_gone() { ! kill -0 "$1" 2>/dev/null; }
hotkeys_trace_count() { kxp_trace_lines | grep -cxF -- "KorvanelXP: $1" || true; }
hotkeys_traced_more() { (($(hotkeys_trace_count "$1") > $2)); }

case_hotkey_2_is_given_up_while_an_installer_runs() {
    kxp_start_service || { fail "the service does not run"; return; }
    kxp_wait_for 10 hotkeys_traced_more "Hotkey2: 10 added" 0 ||
        { fail "no 'Hotkey2: 10 added' trace (is DebugTrace on?)"; return; }
    local answer
    answer=$(hotkeys_try_ctrl_alt_end)
    echo "    before: $answer"
    [[ $answer == *"error 1409"* ]] ||
        { fail "Ctrl+Alt+End not held by the service: $answer"; return; }

    local dir="$WINEPREFIX/drive_c/KorvanelXPTest" builds pid started
    cp "$dir/ControlSender.exe" "$dir/Setup_INS.exe"
    builds=$(hotkeys_trace_count "BuildHotkeys")
    started=$SECONDS
    # It waits for a service state that never comes, for 5 s.
    pid=$(kxp_wine_background "$KXP_LOGS/Setup_INS.out" 'C:\KorvanelXPTest\Setup_INS.exe' \
        "$KXP_SERVICE_NAME" wait PAUSED 5000)
    kxp_wait_for 6 hotkeys_free ||
        { kill "$pid" 2>/dev/null; fail "still held while Setup_INS.exe runs"; return; }
    echo "    free $((SECONDS - started)) s after Setup_INS.exe started"
    kxp_wait_for 20 hotkeys_gone "$pid" ||
        { kill "$pid" 2>/dev/null; fail "Setup_INS.exe did not end"; return; }
    # No tries meanwhile: one at the moment of the rebuild would take the combination itself.
    kxp_wait_for 6 hotkeys_traced_more BuildHotkeys "$builds" ||
        { fail "no rebuild after Setup_INS.exe ended"; return; }
    sleep 1
    answer=$(hotkeys_try_ctrl_alt_end)
    echo "    after it ended ($((SECONDS - started)) s): $answer"
    [[ $answer == *"error 1409"* ]] || fail "Ctrl+Alt+End not held again: $answer"
}

# Presses Ctrl+Alt+End with the pointer on the Wine desktop.
hotkeys_press() {
    local desktop
    desktop=$(xdotool search --name '^Default - Wine desktop$' | head -n 1)
    [[ -n $desktop ]] || return 1
    xdotool mousemove --window "$desktop" 400 300 && xdotool key ctrl+alt+End
}

case_hotkey_press_reaches_the_service() {
    kxp_start_service || { fail "the service does not run"; return; }
    kxp_wait_for 5 hotkeys_taken || { fail "Ctrl+Alt+End is not the service's"; return; }
    local shown ignored
    shown=$(hotkeys_trace_count "Hotkey2 show set")
    ignored=$(hotkeys_trace_count "Hotkey ignore")
    hotkeys_press || { fail "xdotool could not press the keys"; return; }
    kxp_wait_for 5 hotkeys_traced_more "Hotkey2 show set" "$shown" ||
        { fail "no 'Hotkey2 show set' after Ctrl+Alt+End"; return; }

    kxp_control 130 >/dev/null 2>&1 || { fail "ControlService(130) failed"; return; }
    hotkeys_press
    kxp_wait_for 5 hotkeys_traced_more "Hotkey ignore" "$ignored" ||
        { fail "no 'Hotkey ignore' after code 130"; return; }

    kxp_control 131 >/dev/null 2>&1 || { fail "ControlService(131) failed"; return; }
    hotkeys_press
    kxp_wait_for 5 hotkeys_traced_more "Hotkey2 show set" $((shown + 1)) ||
        { fail "no 'Hotkey2 show set' after code 131"; return; }
    echo "    shown, ignored after 130, shown again after 131"
    (($(hotkeys_trace_count "Hotkey2 show set") == shown + 2)) ||
        fail "the ignored press was acted on"
}
