#!/usr/bin/env bash
# Installs what is missing, builds Tagwright and starts it with the simulated reader beside it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TAGWRIGHT_BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" >/dev/null

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    display=":73"
    echo "No display found: starting the window on the virtual display $display (Xvfb, 96 dpi)."
    Xvfb "$display" -screen 0 1024x768x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill "$xvfb" 2>/dev/null || true' EXIT
    export DISPLAY="$display"
    sleep 1
    echo "Look at it with:  DISPLAY=$display import -window root tagwright.png"
    echo "Stop it with Ctrl+C, or close the window."
fi

"$build/bin/tagwright"
