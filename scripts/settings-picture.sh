#!/usr/bin/env bash
# Makes the README's pictures of the settings window: runs the Wine harness's settings window case,
# which takes a picture of every page, and copies them to docs/settings-page-N.png.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
builds=${KXP_BUILD_ROOT:-$root/build}
log="$builds/settings-picture.log"
mkdir -p "$builds"
bash "$root/tests/wine/run-harness.sh" --build "$builds/windows" --keep \
    --only '^(install_registers_service|start_runs|settings_window_saves_the_options_and_tells_the_service)$' \
    >"$log" 2>&1
rc=$?
session=$(sed -n 's/^session kept in //p' "$log")
if ((rc != 0)) || [[ -z $session ]] || ! ls "$session"/logs/settings-page-*.png >/dev/null 2>&1; then
    tail -n 30 "$log"
    echo "no pictures of the settings window (log: $log)"
    [[ -n $session ]] && rm -rf "$session/prefix"
    exit 1
fi
mkdir -p "$root/docs"
cp "$session"/logs/settings-page-*.png "$root/docs/"
rm -rf "$session"
for picture in "$root"/docs/settings-page-*.png; do
    echo "docs/${picture##*/}: $(/usr/bin/identify -format '%w x %h' "$picture")"
done
