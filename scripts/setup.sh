# Shared by run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run; callers have `set -euo pipefail`.

MOX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
MOX_BUILD="$MOX_ROOT/build"
MOX_CMAKE_ARGS=()

# Debian packages, by what needs them.
MOX_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libgl-dev
                    libsqlite3-dev libbenchmark-dev libxcb1-dev)
MOX_RUN_PACKAGES=(qt6-qpa-plugins libqt6svg6 fonts-dejavu-core fonts-liberation2)
MOX_TEST_PACKAGES=(xvfb dbus-daemon at-spi2-core python3 python3-pyatspi xdotool imagemagick
                   desktop-file-utils appstream)
# Making the .deb: dpkg-shlibdeps finds the libraries the program needs, and
# CPack asks `file` which installed files are programs.
MOX_PACKAGE_PACKAGES=(dpkg-dev file)

mox_missing_packages() {
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$pkg"
        fi
    done
}

mox_install() {
    local missing
    mapfile -t missing < <(mox_missing_packages "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "error: these packages are missing and installing them needs root: ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

mox_build() {
    if [ ! -f "$MOX_BUILD/build.ninja" ]; then
        cmake -S "$MOX_ROOT" -B "$MOX_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${MOX_CMAKE_ARGS[@]}" >/dev/null
    fi
    cmake --build "$MOX_BUILD" --parallel 2
}
