#!/usr/bin/env bash
# Runs the Windows tests under Wine, in Wine prefixes made afresh for each ctest run
# (cmake/windows-tests.cmake):
#   wine-test.sh create PREFIX [TEMPLATE]        a new prefix, its wineserver kept running,
#                                                and a virtual display of its own; a copy of
#                                                TEMPLATE where that is given
#   wine-test.sh template PREFIX                 a new prefix to copy, its wineserver ended
#   wine-test.sh run PREFIX PROGRAM [ARGS...]    a test program in it, on that display, with
#                                                Wine's heap checks
#   wine-test.sh heap PREFIX FILE                fails if FILE, the output of a program
#                                                run with the heap checks, reports a fault
#   wine-test.sh stop PREFIX                     ends the prefix's wineserver and display
set -euo pipefail
command=$1
export WINEPREFIX=$2
shift 2
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/wine.sh"

export WINEDEBUG=-all
# No installer prompts for Wine's .NET and HTML engines, no menu entries, and no debugger for
# a program that crashes: it ends, and what waited for it says so. (Where Wine runs under an
# emulator, its helper programs crash now and then, and the debugger then hangs.)
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
# Windows need an X display: each run has its own Xvfb at 96 dpi, and shows nothing on the
# display of whoever runs the tests. Its number and process are kept beside the prefix.
unset DISPLAY WAYLAND_DISPLAY
display_file=$WINEPREFIX.display
xvfb_pid_file=$WINEPREFIX.xvfb-pid

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

# Starts the prefix's virtual display. Xvfb picks a free display number itself and writes it
# to descriptor 3 once it accepts clients; it is detached, so that ctest does not wait for it
# to end.
start_display() {
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp \
        3>"$display_file" >"$WINEPREFIX.xvfb.log" 2>&1 </dev/null &
    echo $! >"$xvfb_pid_file"
    if ! wait_for 60 "Xvfb to accept clients" test -s "$display_file"; then
        cat "$WINEPREFIX.xvfb.log" >&2
        stop_display
        exit 1
    fi
    export DISPLAY=":$(head -n1 "$display_file")"
}

# Makes the prefix with wineboot, and adds the font links that operators' prefixes get too
# (packaging/font-link.reg), so that the tests see the status line's full-width marks as
# operators do. Wine's messages go to the log, for when the prefix cannot be made.
boot() {
    if ! WINEDEBUG=fixme-all timeout 900 wineboot --init >>"$log" 2>&1; then
        echo "wineboot --init failed, or did not end within 900 s; the end of $log:" >&2
        tail -n 20 "$log" >&2
        exit 1
    fi
    local font_link
    font_link=$(dirname "$0")/../packaging/font-link.reg
    if ! WINEDEBUG=-all wine regedit /S "$font_link" >>"$log" 2>&1; then
        echo "wine regedit could not import $font_link; the end of $log:" >&2
        tail -n 20 "$log" >&2
        exit 1
    fi
}

log=$WINEPREFIX.log
case $command in
create | template)
    wineserver --kill 2>/dev/null || true
    stop_display
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    start_display
    if [[ $command == template ]]; then
        # A prefix to copy, whole: its wineserver ends once wineboot's programs have, and
        # writes the registry files as it ends.
        mkdir -p "$WINEPREFIX"
        : >"$log"
        boot
        if ! timeout 600 wineserver --wait; then
            echo "gave up after 600 s waiting for the Wine programs of $WINEPREFIX to end;" \
                "the end of $log:" >&2
            tail -n 20 "$log" >&2
            wineserver --kill 2>/dev/null || true
            stop_display
            exit 1
        fi
        stop_display
        exit 0
    fi
    # A copy of the template where one is given: nothing in a prefix names its folder.
    if [[ -n ${1:-} ]]; then cp -a "$1" "$WINEPREFIX"; else mkdir -p "$WINEPREFIX"; fi
    # One wineserver for the whole run, so that each test program starts without booting
    # the prefix's session again. It and the prefix's own background programs write to a
    # log, not to ctest's output, which ctest would otherwise wait on until they end.
    wineserver --persistent >"$log" 2>&1
    if [[ -z ${1:-} ]]; then
        boot
    # The copy's session, as wineboot --init starts it: its services start now, not with
    # the first test, where their start beside the test's own programs has crashed Wine's
    # loader under an emulator.
    elif ! WINEDEBUG=fixme-all wineboot >>"$log" 2>&1; then
        echo "wineboot failed in the copy of $1; the end of $log:" >&2
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
