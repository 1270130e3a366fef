#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building, running and testing Tagwright.
# Idempotent and quiet when everything is there. Run as root (or with sudo available).
set -euo pipefail

packages=(
    build-essential cmake git
    libgtest-dev
    qt6-base-dev libgl-dev
    # The window's font: Times New Roman, or the metric-compatible Liberation Serif.
    fonts-liberation2 fontconfig
    # The status line's full-width "！" (U+FF01), which neither Liberation nor DejaVu has: Qt
    # falls back to Droid Sans Fallback through fontconfig, Wine through the font links of
    # packaging/font-link.reg (about 7 MiB installed).
    fonts-droid-fallback
    # A virtual display for running the window headless, for looking at it, and for
    # operating it there by hand (xdotool), as for the screenshot in docs/.
    xvfb xauth x11-apps imagemagick xdotool
    # The operator's zip, without the extra fields that carry the builder's uid and times.
    zip
)
# The Windows build of the reader code, and Wine to run its tests (cmake/windows-tests.cmake):
# the cross compiler, GoogleTest's sources to build for it, and Wine's 32-bit loader.
packages+=(mingw-w64 g++-mingw-w64-i686-posix googletest wine wine32:i386)
# What the Debian package (scripts/package-debian.sh) needs at run time besides Wine and the
# font above, so that its test installs it from the file alone; and the tools that check the
# package and its menu entry.
packages+=(x11-utils lintian desktop-file-utils)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$package")
    fi
done

sudo=""
if [[ $(id -u) -ne 0 ]]; then
    sudo="sudo"
    if ((${#missing[@]} > 0)) && ! command -v sudo >/dev/null; then
        echo "setup.sh: ${missing[*]} missing and no sudo to install them: run" \
            "su -c $(realpath "$0") once as root" >&2
        exit 2
    fi
fi
export DEBIAN_FRONTEND=noninteractive

if ((${#missing[@]} > 0)); then
    echo "Installing (apt-get prints nothing until it is done): ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Where the kernel runs no 32-bit programs (started with ia32_emulation=off), Wine's 32-bit
# loader cannot start. qemu-i386 then runs 32-bit x86 programs, registered for them with
# binfmt_misc until the next reboot.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    if ! dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q "ok installed"; then
        echo "This kernel runs no 32-bit programs: installing qemu-user-static to run Wine"
        $sudo apt-get update -qq
        $sudo apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    if [[ ! -e $binfmt/register ]]; then
        $sudo mount -t binfmt_misc binfmt_misc "$binfmt" ||
            echo "Cannot mount binfmt_misc: Wine cannot run the Windows tests"
    fi
    if [[ ! -e $binfmt/qemu-i386 ]]; then
        echo "Registering qemu-i386 for 32-bit x86 programs"
        magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
        echo ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:POCF" |
            $sudo tee "$binfmt/register" >/dev/null ||
            echo "Cannot register qemu-i386: Wine cannot run the Windows tests"
    fi
fi
