#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building, running and testing Tagwright.
# Idempotent and quiet when everything is there. Run as root (or with sudo available).
set -euo pipefail

packages=(
    build-essential cmake git
    libgtest-dev
    qt6-base-dev libgl-dev
    # Qt 5.15 as well: the Windows build, which must be 32-bit, uses it.
    qtbase5-dev
    # The window's font: Times New Roman, or the metric-compatible Liberation Serif.
    fonts-liberation2 fontconfig
    # A virtual display for running the window headless, and for looking at it.
    xvfb xauth x11-apps imagemagick
)
# The Windows build of the reader code, and Wine to run its tests (cmake/windows-tests.cmake):
# the cross compiler, GoogleTest's sources to build for it, and Wine's 32-bit loader.
packages+=(mingw-w64 g++-mingw-w64-i686-posix googletest wine wine32:i386)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
