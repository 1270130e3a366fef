#!/usr/bin/env bash
# Installs what is missing, builds Tagwright with its tests and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TAGWRIGHT_BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DBUILD_TESTING=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"

# The same program and tests against Qt 5.15, the Qt of the 32-bit Windows build.
echo "== Qt 5.15 build"
cmake -S "$root" -B "$build-qt5" -DBUILD_TESTING=ON -DTAGWRIGHT_QT_MAJOR=5 >/dev/null
cmake --build "$build-qt5" --parallel "$(nproc)" >/dev/null
ctest --test-dir "$build-qt5" --output-on-failure --parallel "$(nproc)" -LE windows
