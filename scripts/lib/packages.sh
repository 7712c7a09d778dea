# shellcheck shell=bash
# Installs the Debian 12 packages the build, the tests and the Wine runs need, skipping those
# already installed. Sourced by scripts/test.sh and scripts/run.sh.

KXP_PACKAGES=(
    build-essential cmake ninja-build g++ libgtest-dev googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool imagemagick fonts-liberation clang-format
)
# The fuzz targets: clang with its libFuzzer runtime.
KXP_PACKAGES+=(clang libclang-rt-14-dev)

kxp_package_installed() {
    [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]
}

kxp_install_packages() {
    local missing=() package
    for package in "${KXP_PACKAGES[@]}"; do
        kxp_package_installed "$package" || missing+=("$package")
    done
    ((${#missing[@]} == 0)) && return 0

    echo "== installing ${missing[*]}"
    local sudo=()
    if ((EUID != 0)); then
        command -v sudo >/dev/null || {
            echo "== missing packages and not root: ${missing[*]}" >&2
            return 1
        }
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq &&
        "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}
