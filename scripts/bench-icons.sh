#!/usr/bin/env bash
# DrawIcon's cost and a soak of 20,000 drawings: natively on the simulated machine (preset bench)
# and under Wine on real GDI (preset windows). Prints the cost per drawing and the GDI objects and
# resident memory at the start and the end of each soak; under Wine, in a session with a desktop
# and its notification area, also the cost of draw + convert + NIM_MODIFY of a real tray icon.
#
#   bench-icons.sh [drawings] [tray drawings]       defaults 20000 and 2000
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
# shellcheck source=scripts/lib/wine-session.sh
source "$root/scripts/lib/wine-session.sh"
drawings=${1:-20000}
tray_drawings=${2:-2000}

cmake --preset bench -B build/bench >/dev/null && cmake --build build/bench -j 2 >/dev/null || exit 1
build/bench/bench/icon_renderer_bench --benchmark_min_time=0.2
echo "== soak, simulated machine"
build/bench/bench/icon_soak "$drawings"

cmake --preset windows -B build/windows >/dev/null && cmake --build build/windows -j 2 >/dev/null ||
    exit 1
dir=$(mktemp -d /tmp/kxp-bench-icons.XXXXXX)
trap 'kxp_session_stop; rm -rf "$dir"' EXIT
kxp_session_start "$dir" --own-display || exit 1
echo "== soak, real GDI under Wine"
kxp_wine 600 "$(kxp_win_path "$root/build/windows/tests/wine/IconSoak.exe")" "$drawings" "$tray_drawings"
