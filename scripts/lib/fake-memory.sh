# shellcheck shell=bash
# Small faked memory figures for a Wine session, so that a RAM recovery there takes a few hundred MB
# and not the machine's free memory: under Wine a recovery asks for all free memory plus a tenth of
# the used, and Linux, which overcommits where Windows would refuse, may answer that with its OOM
# killer. Wine reads the free memory from /proc/meminfo (MemFree + Buffers + Cached) and the
# installed memory from sysinfo(); the first is replaced with a bind mount inside a private mount
# namespace, the second with a preloaded shim. Everything of the session (wineserver included)
# must start inside. Needs root and a C compiler.

KXP_FAKE_MEMORY_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Writes the fake meminfo and builds the shim. Usage: kxp_fake_memory_prepare DIR TOTAL_MIB FREE_MIB
kxp_fake_memory_prepare() {
    local dir=$1 total=$2 free=$3
    [[ $total =~ ^[0-9]+$ && $free =~ ^[0-9]+$ ]] && ((free <= total && total > 0)) || {
        echo "fake memory: bad figures '$total' '$free' (MiB)" >&2
        return 1
    }
    mkdir -p "$dir" || return 1
    printf '%s\n' "MemTotal: $((total * 1024)) kB" "MemFree: $((free * 1024)) kB" \
        "MemAvailable: $((free * 1024)) kB" "Buffers: 0 kB" "Cached: 0 kB" "SwapCached: 0 kB" \
        "SwapTotal: 0 kB" "SwapFree: 0 kB" >"$dir/meminfo"
    echo $((total * 1024 * 1024)) >"$dir/totalram"
    gcc -shared -fPIC -O2 -Wall -o "$dir/fake-sysinfo.so" "$KXP_FAKE_MEMORY_LIB/fake-sysinfo.c" \
        -ldl >"$dir/shim-build.log" 2>&1 || {
        echo "fake memory: cannot build the sysinfo shim (log: $dir/shim-build.log)" >&2
        return 1
    }
}

# Runs a command with the figures of DIR. Usage: kxp_fake_memory_run DIR command args...
kxp_fake_memory_run() {
    local dir=$1
    shift
    KXP_FAKE_TOTALRAM=$(<"$dir/totalram") \
        LD_PRELOAD="$dir/fake-sysinfo.so${LD_PRELOAD:+:$LD_PRELOAD}" \
        unshare --mount --propagation private -- \
        sh -c 'mount --bind "$0" /proc/meminfo && exec "$@"' "$dir/meminfo" "$@"
}
