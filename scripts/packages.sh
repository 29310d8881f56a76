# Debian 12 packages RUZEZ needs to build, run and test. Sourced by the scripts.
RUZEZ_PACKAGES=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-webengine-dev qt6-translations-l10n libgl-dev
    mdbtools
    dbus python3-dbusmock poppler-utils
    fonts-dejavu-core
    xvfb openbox libxcb1-dev  # the window's frame asked of the window manager; tested under Xvfb + openbox
    fuse3 python3-fusepy      # the failing file system of the record tests
    at-spi2-core python3-pyatspi  # the page as a screen reader reads it, over AT-SPI
)

# Installs whatever of RUZEZ_PACKAGES (and any extra names given) is missing.
ruzez_install_packages() {
    local wanted=("${RUZEZ_PACKAGES[@]}" "$@") missing=() p
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

ruzez_build() {
    local root=$1
    local launcher=()
    # A compiler cache, where one is installed, makes rebuilds of other checkouts cheap.
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUZEZ_BUILD_BENCHMARKS=ON "${launcher[@]}" >/dev/null
    cmake --build "$root/build" -j"$(nproc)"
}
