# Debian 12 packages RUZEZ needs to build, run and test. Sourced by the scripts.
RUZEZ_PACKAGES=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-webengine-dev qt6-translations-l10n libgl-dev
    mdbtools
    dbus python3-dbusmock poppler-utils
    fonts-dejavu-core fonts-liberation2 fonts-comic-neue  # the faces course pages name (src/page_compat/ruzez-fonts.conf)
    xvfb openbox libxcb1-dev  # the window's frame asked of the window manager; tested under Xvfb + openbox
    fuse3 python3-fusepy      # the failing file system of the record and hung-share tests
    xdotool                   # the pupil's keys and clicks in the hung-share tests
    openssl                   # the build checks the Flash player's npm package
    libfluidsynth-dev timgm6mb-soundfont  # MIDI: the synthesiser and a General MIDI sound font
    pulseaudio pulseaudio-utils           # the media tests' null sound output
    at-spi2-core python3-pyatspi  # the page as a screen reader reads it, over AT-SPI
)

# Installs whatever of RUZEZ_PACKAGES (and any extra names given) is missing.
# npm (the build fetches the Flash player with it) is Debian's only where no
# other npm is installed: a Node.js from elsewhere brings its own and refuses
# Debian's.
ruzez_install_packages() {
    local wanted=("${RUZEZ_PACKAGES[@]}") missing=() p
    command -v npm >/dev/null || wanted+=(npm)
    for p in "$@"; do
        [ "$p" = npm ] && command -v npm >/dev/null && continue
        wanted+=("$p")
    done
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
    # A compiler cache, where one is installed, makes rebuilds of other checkouts cheap:
    # paths are taken relative to the checkout, so another clone hits the same entries.
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
    fi
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUZEZ_BUILD_BENCHMARKS=ON "${launcher[@]}" >/dev/null
    cmake --build "$root/build" -j"$(nproc)"
}
