#!/usr/bin/env bash
# The Windows program's benchmarks, for scripts/bench.sh: builds tagwright.exe and its
# benchmarks with the cross compiler in Release, runs them under Wine in a prefix of their
# own on a virtual display of its own at 96 dpi (cmake/wine-test.sh), with the simulated
# reader at C:\EPCSDK.DLL, and prints each figure as "name value unit":
#   win32_startup_ratio  start to first painted window, tagwright.exe's program (its probe,
#                        the same code and resources) against a minimal Win32 window in the
#                        same font, medians of alternating starts
#   win32_exe_kib        the size of tagwright.exe
#   win32_per_card_us    one Write Next No in the program's own window: the click until the
#                        handlers have written the card and set the report
#   win32_serial_per_card_us  the same over a serial line: the serial form of the simulated
#                        reader at C:\EPCSDK.DLL, and at COM9 a pseudo-terminal whose far end
#                        the Linux reader (READER, serial_tag_reader) holds, answering at once
#
#   bench/bench_win32.sh BUILD_DIR RUNS CARDS READER
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/wine.sh"
build=$1
runs=$2
cards=$3
reader=$4

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTAGWRIGHT_WITH_GUI=OFF -DBUILD_TESTING=OFF \
    -DTAGWRIGHT_BENCH=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" >/dev/null

wine_test=$root/cmake/wine-test.sh
prefix=$build/wineprefix
"$wine_test" create "$prefix"
line=$build/serial-line
trap '"$wine_test" stop "$prefix"; [[ ! -s $line/pid ]] || kill "$(cat "$line/pid")"' EXIT
cp "$build/reader-library/EPCSDK.DLL" "$prefix/drive_c/EPCSDK.DLL"

echo "# $(wine --version), $(i686-w64-mingw32-g++-posix --version | head -n1)"
if wine_emulated; then
    echo "# Wine runs under an emulator (qemu-i386) on this machine: the win32_* figures" \
        "below are not comparable with a machine that runs 32-bit programs itself"
fi
# The Windows programs find the ones they start beside themselves.
cd "$build/bin"
"$wine_test" run "$prefix" startup_bench_win32.exe "$runs" tagwright_probe_win32.exe \
    minimal_window_win32.exe
echo "win32_exe_kib $(($(stat -c %s tagwright.exe) / 1024)) KiB"
"$wine_test" run "$prefix" per_card_bench_win32.exe "$cards"

rm -rf "$line" && mkdir -p "$line"
"$reader" --link "$prefix/dosdevices/com9" --log "$line/frames.log" --tag "$line/tag" \
    --reply-ms 0 --pid-file "$line/pid" >/dev/null
cp "$build/serial-reader-library/EPCSDK.DLL" "$prefix/drive_c/EPCSDK.DLL"
"$wine_test" run "$prefix" per_card_bench_win32.exe "$cards" | sed 's/^win32_/win32_serial_/'
