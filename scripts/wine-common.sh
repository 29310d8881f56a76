# Wine set-up shared by scripts/test-wine.sh and benchmarks/wine_startup.sh.
# Sourced after scripts/packages.sh.

# Wine, its 32-bit half, the Windows cross-compilers, a headless X server and
# a way to press keys in it.
wine_install_packages() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        if [ "$(id -u)" -eq 0 ]; then dpkg --add-architecture i386; else sudo dpkg --add-architecture i386; fi
    fi
    ruzez_install_packages wine wine32:i386 wine64 gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 xvfb xauth xdotool
}

# Sets wine, wineserver and cc. The course's program is 32-bit; a kernel
# without IA-32 emulation (some virtual machines) cannot run 32-bit code at
# all: there the stand-in is built for 64-bit Windows, which goes through
# the same Wine paths.
wine_pick_arch() {
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        wine=/usr/lib/wine/wine wineserver=/usr/lib/wine/wineserver32 cc=i686-w64-mingw32-gcc
        export WINEARCH=win32
    else
        echo "wine: this kernel cannot run 32-bit programs; the stand-in is built for 64-bit Windows"
        wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver64 cc=x86_64-w64-mingw32-gcc
        export WINEARCH=win64
    fi
}

# Starts Xvfb on a free display (sets xvfb_pid, exports DISPLAY) and makes a
# fresh prefix in $1 (exports WINEPREFIX). Call wine_stop when done.
wine_start() {
    local display
    for display in $(seq 90 190); do
        [ -e "/tmp/.X$display-lock" ] || break
    done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display" WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # Wine passes its environment on to RUZEZ but for QT_* variables; this one goes through.
    if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
    unset QT_QPA_PLATFORM
    "$wine" wineboot -i >/dev/null 2>&1
}

wine_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then "$wineserver" -k 2>/dev/null || true; fi
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
