# shellcheck shell=bash
# A private Wine session for running KorvanelXP.exe as a service: its own prefix, its own X
# display when there is none, Wine's explorer as the desktop shell, and a persistent wineserver.
# Sourced by the harness, scripts/run.sh, scripts/test.sh and scripts/measure-idle.sh.
#
# Why the steps are in this order:
# - services inherit DISPLAY, WINEDEBUG and stderr from the process that started services.exe, so
#   DISPLAY is exported before the first wine call, and the explorer that starts services.exe
#   after the server restart does so with +debugstr and its stderr in $KXP_LOGS/services.log: the
#   service's trace lines land there;
# - a persistent wineserver keeps every wine start cheap and keeps the service alive between calls;
# - the explorer desktop stays up for the whole session: when the last ordinary process leaves a
#   desktop, Wine replaces it and the service's windows become unreachable;
# - "wine prog | grep" can hang for ever (services.exe inherits the pipe): output goes to files.

KXP_SERVICE_NAME=KorvanelXPService
KXP_SERVICE_KEY='HKLM\System\CurrentControlSet\Services\KorvanelXPService'
KXP_INSTALL_DIR_WIN='C:\Program Files\KorvanelXP'
KXP_DESKTOP_SIZE=800x600
KXP_XVFB_PID=""
KXP_SESSION_STARTED=""

kxp_log() { printf '%s\n' "$*" >&2; }

# A free X display number: no socket and no lock file.
kxp_free_display() {
    local n
    for n in $(seq 90 190); do
        if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

# Starts Xvfb on a free display and exports DISPLAY. Another run may take the same number at the
# same moment, hence a few attempts.
kxp_start_xvfb() {
    local n attempt
    for attempt in 1 2 3; do
        n=$(kxp_free_display) || { kxp_log "no free X display"; return 1; }
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >>"$KXP_LOGS/xvfb.log" 2>&1 &
        KXP_XVFB_PID=$!
        for _ in $(seq 1 100); do
            if [[ -S /tmp/.X11-unix/X$n ]]; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$KXP_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$KXP_XVFB_PID" 2>/dev/null
        wait "$KXP_XVFB_PID" 2>/dev/null
        KXP_XVFB_PID=""
        kxp_log "Xvfb :$n did not start (attempt $attempt)"
    done
    return 1
}

# A Windows program under the session's Wine with a time limit. Its stdout is written to a file and
# then copied to ours, so that "$(kxp_wine ...)" works without handing wine a pipe.
# Usage: kxp_wine SECONDS program args...
kxp_wine() {
    local limit=$1
    shift
    local out="$KXP_LOGS/wine-call.out" rc=0
    timeout --kill-after=5 "$limit" wine "$@" </dev/null >"$out" 2>>"$KXP_LOGS/wine.log" || rc=$?
    tr -d '\r' <"$out"
    return "$rc"
}

# A Windows program left running in the background; its pid is printed.
# Usage: kxp_wine_background STDOUT_FILE program args...
kxp_wine_background() {
    local out=$1
    shift
    wine "$@" </dev/null >"$out" 2>>"$KXP_LOGS/wine.log" &
    echo $!
}

# Z:\... name of a Linux path, for Windows programs.
kxp_win_path() { local p=${1//\//\\}; echo "Z:$p"; }

# Waits until a command succeeds. Usage: kxp_wait_for SECONDS command args...
kxp_wait_for() {
    local limit=$1
    shift
    local deadline=$((SECONDS + limit))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

kxp_desktop_window_exists() {
    xdotool search --name "^Default - Wine desktop\$" >/dev/null 2>&1
}

kxp_prefix_env() {
    export WINEPREFIX="$1/prefix"
    export WINEDEBUG=-all
    # No Mono or Gecko installer dialogs: nothing here needs them.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    KXP_LOGS="$1/logs"
    mkdir -p "$KXP_LOGS"
    KXP_SESSION_STARTED=yes
}

kxp_prefix_init() {
    timeout 180 wineboot --init </dev/null >>"$KXP_LOGS/wine.log" 2>&1 || {
        kxp_log "wineboot failed"
        return 1
    }
    timeout 60 wineserver -w
}

# A prefix for the Windows unit tests: an own display (without one Wine makes no top-level windows),
# Wine's fonts, a persistent wineserver, and the system services already started by a process whose output goes
# to a file (ctest reads its tests through pipes). Usage: kxp_unit_test_prefix_start DIR
kxp_unit_test_prefix_start() {
    kxp_prefix_env "$1"
    kxp_start_xvfb || return 1
    kxp_prefix_init || return 1
    # "Small Fonts" and the other bitmap faces of the icon drawing tests.
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    wineserver -p || return 1
    kxp_wine 60 cmd /c exit >/dev/null
}

# Starts the session. Usage: kxp_session_start SESSION_DIR [--own-display]
# The prefix is SESSION_DIR/prefix, logs go to SESSION_DIR/logs (KXP_LOGS). An own Xvfb is started
# with --own-display or when DISPLAY is not set.
kxp_session_start() {
    KXP_SESSION_DIR=$1
    local own_display=${2:-}
    kxp_prefix_env "$KXP_SESSION_DIR"
    if [[ -n "$own_display" || -z "${DISPLAY:-}" ]]; then
        kxp_start_xvfb || return 1
    fi
    kxp_prefix_init || return 1

    # The default desktop becomes a virtual one with a taskbar and notification area, so that
    # services and ordinary programs share it; the fonts Wine ships give the small bitmap faces a
    # tray icon needs.
    local reg="$KXP_SESSION_DIR/desktop.reg"
    printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\Explorer]' \
        '"Desktop"="Default"' '' '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' \
        "\"Default\"=\"$KXP_DESKTOP_SIZE\"" '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\Default]' \
        '"EnableShell"=dword:00000001' '' >"$reg"
    kxp_wine 60 regedit /S "$(kxp_win_path "$reg")" >/dev/null || {
        kxp_log "cannot configure the desktop"
        return 1
    }
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    timeout 30 wineserver -k
    timeout 30 wineserver -w

    wineserver -p || return 1
    WINEDEBUG=-all,+debugstr wine explorer "/desktop=Default,$KXP_DESKTOP_SIZE" \
        </dev/null >"$KXP_LOGS/explorer.out" 2>"$KXP_LOGS/services.log" &
    kxp_wait_for 60 kxp_desktop_window_exists || {
        kxp_log "the Wine desktop did not appear"
        return 1
    }
}

# Linux pids of the Wine processes (Windows programs, wineserver) of this session's prefix.
kxp_session_pids() {
    local dir exe
    for dir in /proc/[0-9]*; do
        exe=$(readlink "$dir/exe" 2>/dev/null) || continue
        [[ $exe == */wine* ]] || continue
        tr '\0' '\n' 2>/dev/null <"$dir/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            echo "${dir#/proc/}"
    done
}

# Ends everything the session started. Safe to call twice and from a trap.
kxp_session_stop() {
    if [[ -n "$KXP_SESSION_STARTED" ]]; then
        KXP_SESSION_STARTED=""
        timeout 30 wineserver -k 2>/dev/null
        timeout 30 wineserver -w 2>/dev/null
        local pid
        # Anything of this prefix that outlived the server (a launcher, a stuck start).
        for pid in $(kxp_session_pids); do
            kill -KILL "$pid" 2>/dev/null
        done
    fi
    if [[ -n "$KXP_XVFB_PID" ]]; then
        kill "$KXP_XVFB_PID" 2>/dev/null
        wait "$KXP_XVFB_PID" 2>/dev/null
        KXP_XVFB_PID=""
    fi
}

# Copies KorvanelXP.exe, the settings program, the language files and the peers into the prefix.
# Usage: kxp_deploy BUILD_DIR SOURCE_DIR
kxp_deploy() {
    local build=$1 source=$2
    local dir="$WINEPREFIX/drive_c/Program Files/KorvanelXP"
    mkdir -p "$dir" "$WINEPREFIX/drive_c/KorvanelXPTest"
    local exe
    exe=$(find "$build" -name KorvanelXP.exe -print -quit)
    [[ -n "$exe" ]] || { kxp_log "no KorvanelXP.exe under $build"; return 1; }
    cp "$exe" "$dir/"
    # The settings program beside it, where the service starts it.
    exe=$(find "$build" -name KorvanelXPSettings.exe -print -quit)
    [[ -n "$exe" ]] || { kxp_log "no KorvanelXPSettings.exe under $build"; return 1; }
    cp "$exe" "$dir/"
    # The caption files beside the exe, as the build lays them out; copied file by file so that a
    # second deployment does not nest the folder.
    mkdir -p "$dir/languages"
    cp "$source"/languages/*.klf "$dir/languages/" || { kxp_log "no language files"; return 1; }
    local peer
    for peer in SettingsPeer ControlSender MemoryFloor; do
        exe=$(find "$build" -name "$peer.exe" -print -quit)
        [[ -n "$exe" ]] || { kxp_log "no $peer.exe under $build"; return 1; }
        cp "$exe" "$WINEPREFIX/drive_c/KorvanelXPTest/"
    done
}

kxp_service_exe() { echo "$KXP_INSTALL_DIR_WIN\\KorvanelXP.exe"; }

# ControlSender with the service's name. Usage: kxp_control COMMAND [args...]
kxp_control() {
    kxp_wine 30 'C:\KorvanelXPTest\ControlSender.exe' "$KXP_SERVICE_NAME" "$@"
}

kxp_service_state() { kxp_control state 2>/dev/null; }

# The Linux pid of a running Windows program of this session, found by its file name; command lines
# with an install or uninstall switch are not the service. Usage: kxp_program_pid NAME.exe
kxp_program_pid() {
    local pid
    for pid in $(pgrep -f "${1//./\\.}"); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/cmdline" | grep -qixE 'install|uninstall' && continue
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" ||
            continue
        echo "$pid"
        return 0
    done
    return 1
}

# The Linux pid of the running service process of this session, if any.
kxp_service_pid() { kxp_program_pid KorvanelXP.exe; }

kxp_install_service() {
    kxp_wine 60 "$(kxp_service_exe)" /INSTALL /SILENT >/dev/null
}

kxp_uninstall_service() {
    kxp_wine 60 "$(kxp_service_exe)" /UNINSTALL /SILENT >/dev/null
}

# Turns the service's trace on (read at start).
kxp_enable_trace() {
    kxp_wine 30 reg add "$KXP_SERVICE_KEY" /v DebugTrace /t REG_DWORD /d 1 /f >/dev/null
}

# Starts the service unless it runs, and waits for RUNNING. A service process that died without
# reporting STOPPED makes the next start fail once (1053) while the manager resets its state, hence
# one retry.
kxp_start_service() {
    if [[ $(kxp_service_state) == RUNNING ]] && kxp_service_pid >/dev/null; then
        return 0
    fi
    if ! kxp_control start >/dev/null 2>&1; then
        sleep 1
        kxp_control start >/dev/null 2>&1 || return 1
    fi
    kxp_control wait RUNNING 10000 >/dev/null
}

# The service's trace lines so far, without Wine's prefix.
kxp_trace_lines() {
    grep -a 'KorvanelXP: ' "$KXP_LOGS/services.log" 2>/dev/null |
        sed -e 's/^.*OutputDebugStringA "//' -e 's/"$//' -e 's/\\n$//'
}

# Starts SettingsPeer with its notification log; waits until its window exists.
# Usage: kxp_start_peer LOG_FILE [--hang]; prints the peer's Linux pid.
kxp_start_peer() {
    local log=$1
    shift
    : >"$log"
    local out="$log.stdout" pid
    : >"$out"
    pid=$(kxp_wine_background "$out" 'C:\KorvanelXPTest\SettingsPeer.exe' \
        "$(kxp_win_path "$log")" "$@")
    kxp_wait_for 30 grep -q '^ready' "$out" || return 1
    echo "$pid"
}
