#!/usr/bin/env bash
# Makes the Windows program's package for the operators, dist/tagwright-<version>-win32.zip
# (tagwright.exe and README.txt), puts its line into dist/SHA256SUMS and prints its path.
# Installs what is missing first, as scripts/setup.sh does, then cross-builds in Release in
# build-windows/, or in $TAGWRIGHT_BUILD_DIR.
#
# Two clones of one commit make the same zip byte for byte, wherever they lie: its time is
# the last commit's, or SOURCE_DATE_EPOCH where that is set (scripts/check-reproducible.sh).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAGWRIGHT_BUILD_DIR:-$root/build-windows}
# shellcheck source=scripts/lib/release.sh
source "$root/scripts/lib/release.sh"
SOURCE_DATE_EPOCH=$(source_date_epoch "$root")
export SOURCE_DATE_EPOCH

"$root/scripts/setup.sh" >&2

cmake -S "$root" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DTAGWRIGHT_WITH_GUI=OFF \
    -DBUILD_TESTING=OFF >&2
cmake --build "$build" --parallel 2 --target package_windows >&2

zip=$(cat "$build/package-windows-zip.txt")
record_sha256 "$zip"
echo "$zip"
