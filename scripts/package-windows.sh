#!/usr/bin/env bash
# Makes the Windows program's package for the operators, dist/tagwright-<version>-win32.zip
# (tagwright.exe and README.txt), and prints its path. Installs what is missing first, as
# scripts/setup.sh does, then cross-builds in Release in build-windows/, or in
# $TAGWRIGHT_BUILD_DIR.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAGWRIGHT_BUILD_DIR:-$root/build-windows}

"$root/scripts/setup.sh" >&2

cmake -S "$root" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DTAGWRIGHT_WITH_GUI=OFF \
    -DBUILD_TESTING=OFF >&2
cmake --build "$build" --parallel 2 --target package_windows >&2

cat "$build/package-windows-zip.txt"
