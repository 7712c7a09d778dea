#!/usr/bin/env bash
# Builds KorvanelXP.exe and runs it as a service under Wine for a while, showing that it runs: the
# service state, the notifications a stand-in settings window receives, the service's trace lines,
# a screenshot of the desktop with its two tray icons and the tray cropped out of it. Then stops it
# and cleans up.
#
#   run.sh [--seconds N]      N seconds of running (default 30)
#   run.sh --real-memory      the machine's own memory figures instead of small faked ones
#
# It builds into build/windows and keeps the prefix, logs and pictures in build/wine-run;
# KXP_BUILD_ROOT puts both elsewhere.
set -u

seconds=30
real_memory=""
args=("$@")
while (($#)); do
    case $1 in
        --seconds) seconds=$2; shift 2 ;;
        --real-memory) real_memory=yes; shift ;;
        *) echo "usage: $0 [--seconds N] [--real-memory]" >&2; exit 2 ;;
    esac
done
[[ $seconds =~ ^[0-9]+$ ]] || { echo "--seconds takes a whole number" >&2; exit 2; }

root=$(cd "$(dirname "$0")/.." && pwd)
builds=${KXP_BUILD_ROOT:-$root/build}
cd "$root" || exit 1
# shellcheck source=scripts/lib/packages.sh
source "$root/scripts/lib/packages.sh"
# shellcheck source=scripts/lib/wine-session.sh
source "$root/scripts/lib/wine-session.sh"
# shellcheck source=scripts/lib/tray-picture.sh
source "$root/scripts/lib/tray-picture.sh"

kxp_install_packages || exit 1

# A RAM recovery (code 133 or 137, the tray menu, the hot key, or automatic when free memory is
# low) asks for all the free memory the figures report, and Linux, which overcommits where Windows
# would refuse, may answer with its OOM killer. So the whole session runs inside a mount namespace
# with small faked figures, unless --real-memory is given.
if [[ -z $real_memory && -z ${KXP_FAKED_MEMORY:-} ]]; then
    # shellcheck source=scripts/lib/fake-memory.sh
    source "$root/scripts/lib/fake-memory.sh"
    kxp_fake_memory_prepare "$builds/fake-memory" 1024 453 || exit 1
    echo "== memory figures faked for Wine: 1024 MiB installed, 453 MiB free"
    KXP_FAKED_MEMORY=yes kxp_fake_memory_run "$builds/fake-memory" bash "$0" "${args[@]}"
    exit $?
fi
if [[ -n $real_memory ]]; then
    echo "WARNING: the machine's real memory figures: a RAM recovery will take all of its free"
    echo "         memory, and Linux may kill processes to find it."
fi

echo "== building the Windows preset"
mkdir -p "$builds"
build_log="$builds/run-build.log"
if ! { cmake --preset windows -B "$builds/windows" && cmake --build "$builds/windows" -j 2; } \
    >"$build_log" 2>&1; then
    tail -n 60 "$build_log"
    echo "build failed (log: $build_log)"
    exit 1
fi

session="$builds/wine-run"
rm -rf "$session"
trap kxp_session_stop EXIT
trap 'exit 130' INT TERM

echo "== starting Wine (prefix $session/prefix)"
kxp_session_start "$session" || { echo "the Wine session did not start"; exit 1; }
echo "   display $DISPLAY, Wine's explorer is the desktop shell"
kxp_deploy "$builds/windows" "$root" || exit 1

echo "== installing the service"
kxp_install_service || { echo "/INSTALL /SILENT failed"; exit 1; }
kxp_enable_trace
kxp_wine 30 reg query "$KXP_SERVICE_KEY" | grep -aE 'ImagePath|Type|Start|DebugTrace'

peer_log="$KXP_LOGS/peer.log"
kxp_start_peer "$peer_log" >/dev/null || { echo "SettingsPeer did not come up"; exit 1; }

echo "== starting the service"
kxp_start_service || echo "   the service did not reach RUNNING"
echo "   state: $(kxp_service_state), Linux pid: $(kxp_service_pid || echo none)"

sleep 3
echo "== sending code 129 (peak memory report)"
kxp_control 129 >/dev/null || echo "   ControlService(129) failed"

echo "== running for $seconds seconds"
half=$((seconds / 2))
sleep "$half"
echo "   state: $(kxp_service_state)"
sleep $((seconds - half))

shot="$session/desktop.png"
if kxp_desktop_screenshot "$shot"; then
    echo "== screenshot of the desktop, with the two tray icons at the bottom right: $shot"
    if kxp_tray_crop "$shot" "$session/tray.png"; then
        echo "   the tray cropped and enlarged eight times: $session/tray.png"
    fi
else
    echo "== no screenshot"
fi

echo "== notifications received by the settings window (code value)"
sed 's/^/   /' "$peer_log"
echo "== trace lines ($(kxp_trace_lines | wc -l) in all, the last 40)"
kxp_trace_lines | tail -n 40 | sed 's/^/   /'

echo "== stopping the service"
kxp_control stop 10000 | sed 's/^/   /'
echo "   state: $(kxp_service_state)"
kxp_session_stop
echo "== done; logs in $KXP_LOGS"
