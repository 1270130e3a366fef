#!/usr/bin/env bash
# Runs the Windows tests under Wine, all in one Wine prefix made afresh for each ctest run
# (cmake/windows-tests.cmake):
#   wine-test.sh create PREFIX                   a new prefix, its wineserver kept running
#   wine-test.sh run PREFIX PROGRAM [ARGS...]    a test program in it
#   wine-test.sh stop PREFIX                     ends the prefix's wineserver
set -euo pipefail
command=$1
export WINEPREFIX=$2
shift 2

export WINEDEBUG=-all
# No installer prompts for Wine's .NET and HTML engines, no menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The tests need no display, and should show nothing on one that is there.
unset DISPLAY WAYLAND_DISPLAY
# Read only where qemu-i386 runs Wine (scripts/setup.sh, on a kernel without 32-bit
# programs): a guest address space ending just past 2 GiB, which holds all that Wine maps
# and spares it reserving the space above piece by piece, a minute for each program.
export QEMU_RESERVED_VA=0x81000000

case $command in
create)
    wineserver --kill 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # One wineserver for the whole run, so that each test program starts without booting
    # the prefix's session again. It and the prefix's own background programs write to a
    # log, not to ctest's output, which ctest would otherwise wait on until they end.
    log=$WINEPREFIX.log
    wineserver --persistent >"$log" 2>&1
    # Wine's error messages go to the log, for when the prefix cannot be made.
    if ! WINEDEBUG=fixme-all wineboot --init >>"$log" 2>&1; then
        echo "wineboot --init failed; the end of $log:" >&2
        tail -n 20 "$log" >&2
        exit 1
    fi
    ;;
run)
    exec wine "$@"
    ;;
stop)
    wineserver --kill 2>/dev/null || true
    ;;
*)
    echo "usage: $0 create|run|stop PREFIX [PROGRAM ARGS...]" >&2
    exit 2
    ;;
esac
