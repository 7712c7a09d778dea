#!/usr/bin/env bash
# Makes the README's picture of the tray: runs the service under Wine with scripts/run.sh for a few
# seconds and keeps the notification area it shows, cropped and enlarged, as docs/tray.png.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
builds=${KXP_BUILD_ROOT:-$root/build}
bash "$root/scripts/run.sh" --seconds 10 >"$builds/tray-picture.log" 2>&1 || {
    tail -n 30 "$builds/tray-picture.log"
    exit 1
}
picture="$builds/wine-run/tray.png"
[[ -f $picture ]] || { echo "run.sh made no tray picture (log: $builds/tray-picture.log)"; exit 1; }
mkdir -p "$root/docs"
cp "$picture" "$root/docs/tray.png"
echo "docs/tray.png: $(/usr/bin/identify -format '%w x %h' "$root/docs/tray.png")"
