# shellcheck shell=bash
# The two tray icons in the virtual desktop's notification area, seen on screenshots: icon 1's
# digits in green on black, icon 2's graph in yellow; both gone once the service has stopped.
KXP_CASES+=(tray_icons_show_their_figures tray_icon_one_follows_the_free_memory
    tray_icons_leave_with_the_service)

# shellcheck source=scripts/lib/tray-picture.sh
source "$root/scripts/lib/tray-picture.sh"

TRAY_SHOT=""

# Takes a screenshot and holds it against the default displays.
tray_shows_figures() {
    TRAY_SHOT="$KXP_LOGS/tray-desktop.png"
    kxp_desktop_screenshot "$TRAY_SHOT" || return 1
    local green yellow black other
    read -r green _ black _ < <(kxp_tray_colours "$TRAY_SHOT" "$KXP_TRAY_ICON1")
    # Digits are a few strokes; the rest of the square is the black background.
    ((green >= 8 && black >= 100)) || return 1
    read -r _ yellow _ other < <(kxp_tray_colours "$TRAY_SHOT" "$KXP_TRAY_ICON2")
    # A graph has at least the bottom row of each of its 16 columns.
    ((yellow >= 16))
}

case_tray_icons_show_their_figures() {
    kxp_start_service || { fail "the service does not run"; return; }
    if ! kxp_wait_for 20 tray_shows_figures; then
        [[ -f $TRAY_SHOT ]] && kxp_tray_crop "$TRAY_SHOT" "$KXP_LOGS/tray.png"
        fail "icons not as expected: icon 1 $(kxp_tray_colours "$TRAY_SHOT" "$KXP_TRAY_ICON1")," \
            "icon 2 $(kxp_tray_colours "$TRAY_SHOT" "$KXP_TRAY_ICON2") (green yellow black" \
            "other; picture $KXP_LOGS/tray.png)"
        return
    fi
    kxp_tray_crop "$TRAY_SHOT" "$KXP_LOGS/tray.png"
    echo "    tray picture: $KXP_LOGS/tray.png"
}

# A fingerprint of icon 1's square on a new screenshot.
tray_icon_one_pixels() {
    local shot="$KXP_LOGS/tray-icon1.png"
    kxp_desktop_screenshot "$shot" || return 1
    /usr/bin/convert "$shot" -crop "$KXP_TRAY_ICON1" +repage rgb:- | md5sum
}

tray_icon_one_changed_from() { [[ $(tray_icon_one_pixels) != "$1" ]]; }

# The faked figures are the file bound over /proc/meminfo in the harness's namespace: a new free
# figure there is what Wine reports at the next sample.
case_tray_icon_one_follows_the_free_memory() {
    [[ ${KXP_FAKED_MEMORY:-} == yes ]] || { fail "the memory figures are not faked"; return; }
    kxp_start_service || { fail "the service does not run"; return; }
    local saved before
    saved=$(</proc/meminfo)
    before=$(tray_icon_one_pixels) || { fail "no screenshot"; return; }
    sed -e 's/^MemFree:.*/MemFree: 307200 kB/' -e 's/^MemAvailable:.*/MemAvailable: 307200 kB/' \
        <<<"$saved" >/proc/meminfo
    local rc=0
    kxp_wait_for 10 tray_icon_one_changed_from "$before" || rc=1
    printf '%s\n' "$saved" >/proc/meminfo
    ((rc == 0)) || fail "icon 1 did not change when the free memory went from 453 to 300 MiB"
}

# Neither icon square keeps any of the icons' colours.
tray_is_empty() {
    local shot="$KXP_LOGS/tray-after-stop.png" green yellow
    kxp_desktop_screenshot "$shot" || return 1
    read -r green _ _ _ < <(kxp_tray_colours "$shot" "$KXP_TRAY_ICON1")
    read -r _ yellow _ _ < <(kxp_tray_colours "$shot" "$KXP_TRAY_ICON2")
    ((green == 0 && yellow == 0))
}

case_tray_icons_leave_with_the_service() {
    kxp_start_service || { fail "the service does not run"; return; }
    kxp_control stop 10000 >/dev/null 2>&1 || { fail "the service did not stop"; return; }
    kxp_wait_for 10 tray_is_empty || { fail "icons still shown after the stop"; return; }
    kxp_start_service || fail "the service does not start again"
}
