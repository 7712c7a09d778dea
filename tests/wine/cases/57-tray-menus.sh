# shellcheck shell=bash
# The tray icons driven the user's way, with xdotool on the virtual desktop: a right click opens an
# icon's menu, the keyboard chooses in it (Recover RAM, a graph display, an update interval), a left
# click switches icon 1 to its alternate set, a double click and the hot keys bring up the settings
# window or recover RAM. Each case leaves the user options as it found them (none stored).
KXP_CASES+=(tray_menu_opens_on_a_right_click tray_menu_recovers_ram tray_menu_chooses_a_graph
    tray_menu_chooses_an_update_interval tray_click_switches_to_the_alternate_set
    tray_double_click_brings_up_the_settings hotkeys_recover_ram_and_bring_up_the_settings
    settings_program_starts_on_a_double_click_and_on_ctrl_alt_end
    a_menu_held_open_keeps_the_loop_going)

# shellcheck source=scripts/lib/tray-picture.sh disable=SC2154 # the harness's source folder
source "$root/scripts/lib/tray-picture.sh"

readonly MENUS_USER_KEY='HKCU\Software\KorvanelXP'
# Where a click on each icon lands (the middle of its square), and the part of the desktop that
# the menu of icon 1 covers when it opens there, with the tray below it.
readonly MENUS_ICON1_X=790 MENUS_ICON2_X=770 MENUS_ICON_Y=590
readonly MENUS_MENU_AREA=264x200+536+400 MENUS_MENU_INSIDE=200x140+580+420

# The visible window of the service's process: an open menu.
menus_window() { xdotool search --onlyvisible --classname KorvanelXP.exe 2>/dev/null | head -n 1; }
menus_open_window() { [[ -n $(menus_window) ]]; }
menus_no_window() { [[ -z $(menus_window) ]]; }

# The icon at X is in the tray: its square holds the icon's own colours, not the tray's grey.
menus_icon_shown() {
    local shot="$KXP_LOGS/tray-before-click.png" other
    kxp_desktop_screenshot "$shot" || return 1
    read -r _ _ _ other < <(kxp_tray_colours "$shot" "16x16+$(($1 - 8))+582")
    ((other < 56))
}

# Right-clicks the icon at X and gives the menu the keyboard. Usage: menus_open X
# Under a loaded Wine the first click after another menu sometimes opens nothing, so a user's second
# click is allowed for (and said in the log).
menus_open() {
    kxp_wait_for 15 menus_icon_shown "$1" || return 1
    local attempt
    for attempt in 1 2 3; do
        xdotool mousemove "$1" "$MENUS_ICON_Y" click 3 || return 1
        if kxp_wait_for 5 menus_open_window; then
            ((attempt == 1)) || echo "    the menu opened at right click $attempt"
            xdotool windowfocus "$(menus_window)"
            return
        fi
    done
    return 1
}

# Opens the icon's menu and presses the keys. Usage: menus_choose X KEY...
menus_choose() {
    local x=$1
    shift
    menus_open "$x" || { fail "no menu after a right click at x $x"; return; }
    xdotool key --delay 150 "$@" || { fail "xdotool could not press $*"; return; }
    kxp_wait_for 5 menus_no_window || { xdotool key Escape Escape Escape; fail "the menu stayed open"; }
}

# A value of the user key as "0x..", empty when it is not there. Usage: menus_value NAME
menus_value() {
    kxp_wine 30 reg query "$MENUS_USER_KEY" /v "$1" 2>/dev/null |
        awk -v n="$1" '$1 == n { print $3 }'
}
menus_value_is() { [[ $(menus_value "$1") == "$2" ]]; }

# The options back to their defaults: no user key, read again (code 128).
menus_restore_options() {
    kxp_wine 30 reg delete "$MENUS_USER_KEY" /f >/dev/null 2>&1
    kxp_control 128 >/dev/null 2>&1
}

menus_count() { grep -cxF "$1" "$PEER_LOG" || true; }
menus_more() { (($(menus_count "$1") > $2)); }

# Waits for notification 3 then 4 after the counts given. Usage: menus_recovered N3 N4
menus_recovered() {
    kxp_wait_for 15 menus_more "3 0" "$1" || { fail "no notification 3 (recovery started)"; return; }
    kxp_wait_for 60 menus_more "4 0" "$2" || fail "no notification 4 (recovery ended)"
}

# Light grey, as menus are drawn, in a part of a screenshot.
menus_grey_pixels() {
    /usr/bin/convert "$1" -crop "$2" +repage -depth 8 txt:- 2>/dev/null | awk '
        match($0, /\(([0-9]+),([0-9]+),([0-9]+)/) {
            split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
            if (c[1] >= 180 && c[2] >= 180 && c[3] >= 180) n++
        }
        END { print n + 0 }'
}

case_tray_menu_opens_on_a_right_click() {
    kxp_start_service || { fail "the service does not run"; return; }
    menus_open "$MENUS_ICON1_X" || { fail "no menu after a right click on icon 1"; return; }
    sleep 0.5
    local shot="$KXP_LOGS/tray-menu-desktop.png" grey
    kxp_desktop_screenshot "$shot"
    xdotool key Escape
    kxp_wait_for 5 menus_no_window || { fail "Escape did not close the menu"; return; }
    [[ -f $shot ]] || { fail "no screenshot"; return; }
    /usr/bin/convert "$shot" -crop "$MENUS_MENU_AREA" +repage -filter point -resize 200% \
        "$KXP_LOGS/tray-menu.png"
    grey=$(menus_grey_pixels "$shot" "$MENUS_MENU_INSIDE")
    echo "    menu picture: $KXP_LOGS/tray-menu.png ($grey of 28000 pixels menu grey)"
    ((grey > 20000)) || fail "the menu is not where a menu of icon 1 should be ($shot)"
}

case_tray_menu_recovers_ram() {
    kxp_start_service || { fail "the service does not run"; return; }
    local n3 n4
    n3=$(menus_count "3 0")
    n4=$(menus_count "4 0")
    # From no selection, Up goes to the last item (Settings...), then to Recover RAM.
    menus_choose "$MENUS_ICON1_X" Up Up Return || return
    menus_recovered "$n3" "$n4"
}

# 453 of 1024 MiB free: columns a little under half the height fill in as the graph scrolls.
MENUS_GRAPH_COLOURS=""
menus_ram_graph_shown() {
    local shot="$KXP_LOGS/tray-ram-graph.png" yellow black
    kxp_desktop_screenshot "$shot" || return 1
    MENUS_GRAPH_COLOURS=$(kxp_tray_colours "$shot" "$KXP_TRAY_ICON2")
    read -r _ yellow black _ <<<"$MENUS_GRAPH_COLOURS"
    ((yellow >= 80 && black >= 80))
}

case_tray_menu_chooses_a_graph() {
    kxp_start_service || { fail "the service does not run"; return; }
    # Up four times: Settings..., Recover RAM, Auto-Recovery, Display; then Graph's first metric.
    menus_choose "$MENUS_ICON2_X" Up Up Up Up Right Down Down Right Return || return
    local rc=0
    kxp_wait_for 10 menus_value_is t2_Display1 0x2 || { fail "t2_Display1 not 2"; rc=1; }
    ((rc == 0)) && { menus_value_is t2_Display2 0x0 || { fail "t2_Display2 not 0"; rc=1; }; }
    ((rc == 0)) && { menus_value_is Version 0x96 || { fail "Version not 150"; rc=1; }; }
    if ((rc == 0)) && ! kxp_wait_for 20 menus_ram_graph_shown; then
        fail "icon 2 is no RAM Free graph: $MENUS_GRAPH_COLOURS (green yellow black other;" \
            "$KXP_LOGS/tray-ram-graph.png)"
        rc=1
    fi
    menus_restore_options
    return $rc
}

case_tray_menu_chooses_an_update_interval() {
    kxp_start_service || { fail "the service does not run"; return; }
    # Up five times reaches Update interval; its second item is 3 sec.
    menus_choose "$MENUS_ICON1_X" Up Up Up Up Up Right Down Return || return
    local rc=0
    kxp_wait_for 10 menus_value_is Refresh 0xbb8 || { fail "Refresh not 3000"; rc=1; }
    ((rc == 0)) && { menus_value_is t2_Refresh 0x3e8 || { fail "t2_Refresh not 1000"; rc=1; }; }
    menus_restore_options
    return $rc
}

# Red-violet pixels ($008000FF, the alternate set's colour) in icon 1's square.
menus_violet_pixels() {
    local shot="$KXP_LOGS/tray-alternate.png"
    kxp_desktop_screenshot "$shot" || return 1
    /usr/bin/convert "$shot" -crop "$KXP_TRAY_ICON1" +repage -depth 8 txt:- 2>/dev/null | awk '
        match($0, /\(([0-9]+),([0-9]+),([0-9]+)/) {
            split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
            if (c[1] >= 160 && c[2] < 64 && c[3] >= 64 && c[3] < c[1]) n++
        }
        END { print n + 0 }'
}
menus_violet_shown() { (($(menus_violet_pixels) >= 8)); }

case_tray_click_switches_to_the_alternate_set() {
    kxp_start_service || { fail "the service does not run"; return; }
    kxp_wait_for 15 menus_icon_shown "$MENUS_ICON1_X" || { fail "icon 1 is not in the tray"; return; }
    xdotool mousemove "$MENUS_ICON1_X" "$MENUS_ICON_Y" click 1 || { fail "xdotool failed"; return; }
    local rc=0
    kxp_wait_for 10 menus_value_is Alternate 0x1 || { fail "Alternate not 1 after a click"; rc=1; }
    ((rc == 0)) && { kxp_wait_for 10 menus_violet_shown ||
        { fail "no red-violet digits in icon 1 ($KXP_LOGS/tray-alternate.png)"; rc=1; }; }
    menus_restore_options
    return $rc
}

# The settings window exists (the peer's), so bringing up the settings asks it to come forward.
case_tray_double_click_brings_up_the_settings() {
    kxp_start_service || { fail "the service does not run"; return; }
    local n1
    n1=$(menus_count "1 0")
    kxp_wait_for 15 menus_icon_shown "$MENUS_ICON1_X" || { fail "icon 1 is not in the tray"; return; }
    xdotool mousemove "$MENUS_ICON1_X" "$MENUS_ICON_Y" click --repeat 2 --delay 80 1 ||
        { fail "xdotool failed"; return; }
    local rc=0
    kxp_wait_for 10 menus_more "1 0" "$n1" || { fail "no notification 1 after a double click"; rc=1; }
    # A double click is not a click: the set stays the primary one.
    sleep 1
    [[ -z $(menus_value Alternate) || $(menus_value Alternate) == 0x0 ]] ||
        { fail "the double click switched the set"; rc=1; }
    menus_restore_options
    return $rc
}

menus_hotkey() {
    local desktop
    desktop=$(xdotool search --name '^Default - Wine desktop$' | head -n 1)
    [[ -n $desktop ]] || return 1
    xdotool mousemove --window "$desktop" 400 300 && xdotool key "$1"
}
menus_traced() { kxp_trace_lines | grep -cxF -- "KorvanelXP: $1" || true; }
menus_traced_more() { (($(menus_traced "$1") > $2)); }

case_hotkeys_recover_ram_and_bring_up_the_settings() {
    kxp_start_service || { fail "the service does not run"; return; }
    local n1 added n3 n4
    n1=$(menus_count "1 0")
    menus_hotkey ctrl+alt+End || { fail "xdotool could not press Ctrl+Alt+End"; return; }
    kxp_wait_for 10 menus_more "1 0" "$n1" || { fail "no notification 1 after Ctrl+Alt+End"; return; }
    added=$(menus_traced "Hotkey1: 45 added")
    kxp_wine 30 reg add "$MENUS_USER_KEY" /v Hotkey1Enabled /t REG_DWORD /d 1 /f >/dev/null ||
        { fail "cannot write Hotkey1Enabled"; return; }
    kxp_control 128 >/dev/null 2>&1
    local rc=0
    kxp_wait_for 10 menus_traced_more "Hotkey1: 45 added" "$added" ||
        { fail "hot key 1 not registered after code 128"; rc=1; }
    n3=$(menus_count "3 0")
    n4=$(menus_count "4 0")
    ((rc == 0)) && { menus_hotkey ctrl+alt+r || { fail "xdotool could not press Ctrl+Alt+R"; rc=1; }; }
    ((rc == 0)) && { menus_recovered "$n3" "$n4" || rc=1; }
    menus_restore_options
    return $rc
}

menus_gone() { ! kill -0 "$1" 2>/dev/null; }
menus_record() { echo "$WINEPREFIX/drive_c/KorvanelXPTest/settings-stub.txt"; }
menus_notepad_shown() { xdotool search --onlyvisible --classname notepad.exe >/dev/null 2>&1; }

# Brings up the settings with ACTION (a command) and waits for the stub's record of its start.
menus_stub_started_by() {
    rm -f "$(menus_record)"
    "$@" || return 1
    kxp_wait_for 10 test -s "$(menus_record)"
}

# Without the settings window the settings program is started: the stub in its place records it.
# The peer's window is what keeps Wine's desktop (and so the tray) alive when the peer goes, so
# another program holds it meanwhile; a new peer takes over at the end.
case_settings_program_starts_on_a_double_click_and_on_ctrl_alt_end() {
    kxp_start_service || { fail "the service does not run"; return; }
    local stub keeper peer
    # shellcheck disable=SC2154 # the harness's build folder
    stub=$(find "$build" -name SettingsStub.exe -print -quit)
    [[ -n $stub ]] || { fail "no SettingsStub.exe under $build"; return; }
    keeper=$(kxp_wine_background "$KXP_LOGS/keeper.out" notepad)
    kxp_wait_for 15 menus_notepad_shown || { kill "$keeper"; fail "notepad did not come up"; return; }
    peer=$(kxp_program_pid SettingsPeer.exe) && kill "$peer" && kxp_wait_for 10 menus_gone "$peer"
    local program="$WINEPREFIX/drive_c/Program Files/KorvanelXP/KorvanelXPSettings.exe" rc=0
    cp "$stub" "$program"
    kxp_wait_for 15 menus_icon_shown "$MENUS_ICON1_X" || { fail "icon 1 left the tray"; rc=1; }
    ((rc == 0)) && { menus_stub_started_by xdotool mousemove "$MENUS_ICON1_X" "$MENUS_ICON_Y" \
        click --repeat 2 --delay 80 1 || { fail "no settings program after a double click"; rc=1; }; }
    ((rc == 0)) && { menus_stub_started_by menus_hotkey ctrl+alt+End ||
        { fail "no settings program after Ctrl+Alt+End"; rc=1; }; }
    rm -f "$program" "$(menus_record)"
    PEER_LOG="$KXP_LOGS/peer-menus.log"
    kxp_start_peer "$PEER_LOG" >/dev/null || { fail "SettingsPeer did not come up again"; rc=1; }
    kill "$keeper" 2>/dev/null
    kxp_wait_for 10 menus_gone "$keeper"
    menus_restore_options
    return $rc
}

# The menus run on the main thread: while one stays open, the loop on the service thread goes on
# with its passes, each of which traces the CPU figures of its session check.
case_a_menu_held_open_keeps_the_loop_going() {
    kxp_start_service || { fail "the service does not run"; return; }
    local before after seconds=30
    menus_open "$MENUS_ICON1_X" || { fail "no menu after a right click"; return; }
    before=$(kxp_trace_lines | grep -c "CPU idle: ")
    sleep "$seconds"
    after=$(kxp_trace_lines | grep -c "CPU idle: ")
    local open=yes
    menus_open_window || open=""
    xdotool key Escape
    kxp_wait_for 5 menus_no_window || xdotool key Escape Escape
    [[ -n $open ]] || { fail "the menu closed by itself"; return; }
    echo "    $((after - before)) passes while the menu was open for $seconds s"
    ((after - before >= seconds - 5)) || fail "only $((after - before)) passes in $seconds s"
}
