# Shared settings of scripts/test and scripts/run; sourced, not run.
STX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$STX_ROOT/build/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko installers: the program needs neither, and there is no network for them.
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEARCH=win64

# g++-multilib and qemu-user build and run the 32-bit native unit tests; the
# pixel tests render with the DejaVu fonts (Wine maps its font names to them).
# python3 builds the error catalogue's tables; clang builds the fuzz targets,
# with libFuzzer and the sanitizers' runtimes from libclang-rt-dev (only
# recommended by clang, so not installed with it here).
stx_packages=(cmake ninja-build g++ python3 googletest libgtest-dev libbenchmark-dev mingw-w64 wine
              wine64 xvfb xauth x11-utils imagemagick ccache g++-multilib qemu-user
              fonts-dejavu-core fonts-dejavu-extra clang libclang-rt-dev)

# Installs the named Debian packages that are missing; without names, stx_packages.
stx_install_packages() {
    local wanted=("$@") missing=() p
    [ $# -gt 0 ] || wanted=("${stx_packages[@]}")
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    # A mirror that is briefly out of sync makes update warn; only the install decides.
    $sudo apt-get update || echo "apt-get update reported problems; trying the install anyway"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures the named build trees (native, win64, win32, native32, fuzz);
# without names, all five.
stx_configure() {
    local trees=("$@") common=(-G Ninja -DSTX_WERROR=ON) tree toolchain
    [ $# -gt 0 ] || trees=(native win64 win32 native32 fuzz)
    # Compiler results are cached across clean trees and clones of the project.
    if command -v ccache >/dev/null; then
        common+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
        export CCACHE_BASEDIR="$STX_ROOT" CCACHE_NOHASHDIR=1
    fi
    for tree in "${trees[@]}"; do
        case $tree in
            native) toolchain=() ;;
            win64) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$STX_ROOT/cmake/mingw-w64-x86_64.cmake") ;;
            win32) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$STX_ROOT/cmake/mingw-w64-i686.cmake") ;;
            native32) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$STX_ROOT/cmake/linux-i686.cmake") ;;
            fuzz) toolchain=(-DSTX_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
            *) echo "unknown build tree: $tree" >&2; return 1 ;;
        esac
        cmake -S "$STX_ROOT" -B "$STX_ROOT/build/$tree" "${common[@]}" "${toolchain[@]}" >/dev/null
    done
}

# Creates the private Wine prefix once. Font smoothing is turned off so pixel
# checks see exact colours. Windows are unmanaged:
# with no window manager on Xvfb, Wine would otherwise wait two seconds for
# every hidden top-level window (each closed dialog) to be withdrawn.
stx_wine_prefix() {
    if [ ! -f "$WINEPREFIX/stratext-prefix-ready-2" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot --init >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /d 0 /f >/dev/null 2>&1 || true
        wineserver -w || true
        [ -f "$WINEPREFIX/system.reg" ] || { echo "could not create the Wine prefix $WINEPREFIX" >&2; return 1; }
        touch "$WINEPREFIX/stratext-prefix-ready-2"
    fi
}

# scripts/package makes the installer and the portable zips with these.
stx_package_tools=(nsis zip)
