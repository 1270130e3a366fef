#!/usr/bin/env bash
# Runs the Windows tests under Wine, all in one Wine prefix made afresh for each ctest run
# (cmake/windows-tests.cmake):
#   wine-test.sh create PREFIX                   a new prefix, its wineserver kept running,
#                                                and a virtual display of its own
#   wine-test.sh run PREFIX PROGRAM [ARGS...]    a test program in it, on that display, with
#                                                Wine's heap checks
#   wine-test.sh heap PREFIX FILE                fails if FILE, the output of a program
#                                                run with the heap checks, reports a fault
#   wine-test.sh stop PREFIX                     ends the prefix's wineserver and display
set -euo pipefail
command=$1
export WINEPREFIX=$2
shift 2

export WINEDEBUG=-all
# No installer prompts for Wine's .NET and HTML engines, no menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Windows need an X display: each run has its own Xvfb at 96 dpi, and shows nothing on the
# display of whoever runs the tests. Its number and process are kept beside the prefix.
unset DISPLAY WAYLAND_DISPLAY
display_file=$WINEPREFIX.display
xvfb_pid_file=$WINEPREFIX.xvfb-pid
# Read only where qemu-i386 runs Wine (scripts/setup.sh, on a kernel without 32-bit
# programs): a guest address space ending just past 2 GiB, which holds all that Wine maps
# and spares it reserving the space above piece by piece, a minute for each program.
export QEMU_RESERVED_VA=0x81000000

stop_display() {
    if [[ -s $xvfb_pid_file ]]; then
        kill "$(cat "$xvfb_pid_file")" 2>/dev/null || true
    fi
    rm -f "$xvfb_pid_file" "$display_file"
}

# Fails when Wine's heap checks reported a fault in the output FILE, and shows the reports.
heap_checked() {
    if grep -E '^[0-9a-f]+:(err|warn):heap:' "$1" >&2; then
        echo "wine-test.sh: Wine's heap checks reported the faults above" >&2
        return 1
    fi
}

case $command in
create)
    wineserver --kill 2>/dev/null || true
    stop_display
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # Xvfb picks a free display number itself and writes it to descriptor 3 once it
    # accepts clients; it is detached, so that ctest does not wait for it to end.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp \
        3>"$display_file" >"$WINEPREFIX.xvfb.log" 2>&1 </dev/null &
    echo $! >"$xvfb_pid_file"
    for _ in $(seq 100); do
        [[ -s $display_file ]] && break
        sleep 0.1
    done
    if [[ ! -s $display_file ]]; then
        echo "Xvfb did not start:" >&2
        cat "$WINEPREFIX.xvfb.log" >&2
        stop_display
        exit 1
    fi
    export DISPLAY=":$(head -n1 "$display_file")"
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
    # The font links that operators' prefixes get too (packaging/font-link.reg), so that the
    # tests see the status line's full-width marks as operators do.
    font_link=$(dirname "$0")/../packaging/font-link.reg
    if ! WINEDEBUG=-all wine regedit /S "$font_link" >>"$log" 2>&1; then
        echo "wine regedit could not import $font_link; the end of $log:" >&2
        tail -n 20 "$log" >&2
        exit 1
    fi
    ;;
run)
    export DISPLAY=":$(head -n1 "$display_file")"
    # With warn+heap Wine checks every heap block's tail and freed fill, in the test and in
    # every program it starts, which report to the same standard error; every other channel
    # stays quiet. A report of the heap checks fails the test.
    export WINEDEBUG=-all,err+heap,warn+heap
    reports=$(mktemp)
    status=0
    wine "$@" 2>"$reports" || status=$?
    cat "$reports" >&2
    heap_checked "$reports" || status=1
    rm -f "$reports"
    exit "$status"
    ;;
heap)
    heap_checked "$1"
    ;;
stop)
    wineserver --kill 2>/dev/null || true
    stop_display
    ;;
*)
    echo "usage: $0 create|run|heap|stop PREFIX [PROGRAM ARGS...|FILE]" >&2
    exit 2
    ;;
esac
