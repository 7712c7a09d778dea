#!/usr/bin/env bash
# Makes the README's picture of icon 1's menu: runs the Wine harness's right-click case, which
# opens the menu and keeps the part of the desktop it covers, with the tray below it, enlarged
# twice; copies that picture to docs/tray-menu.png.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
builds=${KXP_BUILD_ROOT:-$root/build}
log="$builds/tray-menu-picture.log"
mkdir -p "$builds"
bash "$root/tests/wine/run-harness.sh" --build "$builds/windows" --keep \
    --only '^(install_registers_service|tray_menu_opens_on_a_right_click)$' >"$log" 2>&1
rc=$?
session=$(sed -n 's/^session kept in //p' "$log")
picture="$session/logs/tray-menu.png"
if ((rc != 0)) || [[ -z $session || ! -f $picture ]]; then
    tail -n 30 "$log"
    echo "no menu picture (log: $log)"
    [[ -n $session ]] && rm -rf "$session/prefix"
    exit 1
fi
mkdir -p "$root/docs"
cp "$picture" "$root/docs/tray-menu.png"
rm -rf "$session"
echo "docs/tray-menu.png: $(/usr/bin/identify -format '%w x %h' "$root/docs/tray-menu.png")"
