# shellcheck shell=bash
# Pictures of the Wine desktop's notification area: a screenshot of the virtual desktop, the tray
# strip cropped out of it and enlarged, and pixel counts of one icon's square. Sourced after
# wine-session.sh, with the session's DISPLAY set.

# The strip at the bottom right of the 800 x 600 desktop that holds the first three icons; the
# first icon added is the rightmost, at x 782 to 797, the second at x 762 to 777, y 582 to 597.
KXP_TRAY_STRIP=60x20+740+580
KXP_TRAY_ICON1=16x16+782+582
KXP_TRAY_ICON2=16x16+762+582

# A screenshot of the virtual desktop window. Usage: kxp_desktop_screenshot OUT.png
kxp_desktop_screenshot() {
    local desktop
    desktop=$(xdotool search --name '^Default - Wine desktop$' 2>/dev/null | head -n 1)
    [[ -n $desktop ]] || return 1
    import -display "$DISPLAY" -window "$desktop" "$1" 2>/dev/null
}

# The tray strip of a screenshot, eight times as large with its pixels kept square.
# Usage: kxp_tray_crop SHOT.png OUT.png
kxp_tray_crop() {
    /usr/bin/convert "$1" -crop "$KXP_TRAY_STRIP" +repage -filter point -resize 800% "$2"
}

# Counts the pixels of a square of the screenshot by colour: "green yellow black other", where
# green is a bright green with little red or blue, yellow bright red and green with little blue,
# and black all three dark. Usage: kxp_tray_colours SHOT.png GEOMETRY
kxp_tray_colours() {
    /usr/bin/convert "$1" -crop "$2" +repage -depth 8 txt:- 2>/dev/null | awk '
        function byte(hex) { return index("0123456789ABCDEF", substr(hex, 1, 1)) * 16 - 16 + \
                                    index("0123456789ABCDEF", substr(hex, 2, 1)) - 1 }
        match($0, /#[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]/) {
            hex = toupper(substr($0, RSTART + 1, 6))
            r = byte(substr(hex, 1, 2))
            g = byte(substr(hex, 3, 2))
            b = byte(substr(hex, 5, 2))
            if (r < 64 && g >= 160 && b < 64) green++
            else if (r >= 160 && g >= 160 && b < 64) yellow++
            else if (r < 40 && g < 40 && b < 40) black++
            else other++
        }
        END { printf "%d %d %d %d\n", green, yellow, black, other }'
}
