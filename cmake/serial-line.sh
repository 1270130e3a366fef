#!/usr/bin/env bash
# The serial line of the Windows tests (cmake/windows-tests.cmake), set up as a Linux
# operator sets it up: the Linux reader (simreader/serial_tag_reader.cpp) at the far end of a
# pseudo-terminal, and tagwright.exe started on that terminal by scripts/run-windows.sh with
# the serial form of the simulated reader, in the prefix FILES/tagwright/wineprefix that
# wine-test.sh made, on its display:
#   serial-line.sh start FILES LIBRARY ZIP READER
#   serial-line.sh stop FILES
set -euo pipefail
command=$1 files=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix=$files/tagwright/wineprefix
log=$files/program.log

source "$root/scripts/lib/wine.sh"

case $command in
start)
    library=$3 zip=$4 reader=$5
    rm -f "$files"/{frames.log,trace,tag,control,tty,reader-pid,program-pid} "$log"
    "$reader" --link "$files/tty" --log "$files/frames.log" --tag "$files/tag" \
        --control "$files/control" --pid-file "$files/reader-pid"
    # The program keeps running after this step, with Wine's heap checks, which `stop` reads,
    # and the reader library's trace of its serial calls. It runs in a session of its own,
    # whose number `stop` keeps to end it: the command becomes tagwright.exe in the end.
    TAGWRIGHT_SERIAL_TRACE=Z:$files/trace XDG_DATA_HOME=$files XDG_CONFIG_HOME=$files/config \
        DISPLAY=":$(head -n1 "$prefix.display")" WINEDEBUG=-all,err+heap,warn+heap setsid "$root/scripts/run-windows.sh" \
        --library "$library" --serial "$files/tty" --zip "$zip" >"$log" 2>&1 </dev/null &
    echo $! >"$files/program-pid"
    # The command says when it starts the program, once everything is in place.
    launcher_started 900 "$log" "$(cat "$files/program-pid")" && exit 0
    echo "scripts/run-windows.sh did not start tagwright.exe:" >&2
    cat "$log" >&2
    exit 1
    ;;
stop)
    kill "$(cat "$files/reader-pid")" 2>/dev/null || true
    # The program and whatever its command started, whether the test passed or failed, and
    # before its prefix's wineserver.
    if [[ -s $files/program-pid ]]; then
        end_processes "the program's processes" -s "$(cat "$files/program-pid")" || true
    fi
    "$root/cmake/wine-test.sh" stop "$prefix"
    "$root/cmake/wine-test.sh" heap "$prefix" "$log"
    ;;
*)
    echo "usage: $0 start FILES LIBRARY ZIP READER | stop FILES" >&2
    exit 2
    ;;
esac
