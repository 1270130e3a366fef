#!/usr/bin/env bash
# Installs what is missing, builds Tagwright in Release with its benchmarks and prints each
# figure on a line of its own as "name value unit":
#   startup_ratio   start to first painted window, the program against a minimal window
#   rss_extra_mib   peak resident memory at that moment, the program less the minimal window
#   per_card_us     one Write Next No click, from click() to the report on the status line
# and the same for the Windows program under Wine, win32_* (bench/bench_win32.sh),
# then runs the randomized operator once with a fresh seed. Not part of scripts/test.sh.
#
# TAGWRIGHT_BENCH_BUILD_DIR (default build-bench), TAGWRIGHT_BENCH_RUNS (startups of each
# program, default 30), TAGWRIGHT_BENCH_CARDS (default 20000), TAGWRIGHT_BENCH_WIN32_CARDS
# (default 500: a card takes milliseconds under Wine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TAGWRIGHT_BENCH_BUILD_DIR:-$root/build-bench}"
runs="${TAGWRIGHT_BENCH_RUNS:-30}"
cards="${TAGWRIGHT_BENCH_CARDS:-20000}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
    -DTAGWRIGHT_BENCH=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" >/dev/null

if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
fi

cleanup=()
trap 'for c in "${cleanup[@]}"; do eval "$c"; done' EXIT
if [[ -z "${DISPLAY:-}" ]]; then
    for n in $(seq 90 120); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break
    done
    Xvfb ":$n" -screen 0 1024x768x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    cleanup+=("kill $! 2>/dev/null || true")
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        [[ -e /tmp/.X11-unix/X$n ]] && break
        sleep 0.1
    done
fi

echo "# $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "# Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo '?'), display $DISPLAY"
# The program with its first-paint probe (bench/tagwright_probe.cpp) against the yardstick.
QT_QPA_PLATFORM=xcb "$build/bin/startup_bench" "$runs" "$build/bin/tagwright_probe" \
    "$build/bin/minimal_window"
QT_QPA_PLATFORM=offscreen "$build/bin/per_card_bench" "$cards"
"$root/bench/bench_win32.sh" "$build-windows" "$runs" "${TAGWRIGHT_BENCH_WIN32_CARDS:-500}" \
    "$build/bin/serial_tag_reader"

seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
echo "random_operator_seed $seed seed"
status=0
output=$(QT_QPA_PLATFORM=offscreen TAGWRIGHT_SEED=$seed "$build/bin/random_operator_test" 2>&1) ||
    status=$?
grep -E "steps in|FAIL|Totals" <<<"$output" || true
exit "$status"
