#!/usr/bin/env bash
# Starts the Windows program under Wine on a Linux workstation, with the reader maker's
# library and the serial port that the reader is on:
#   scripts/run-windows.sh --library PATH/EPCSDK.DLL --serial /dev/ttyUSB0 [--zip ZIP]
#
# The program runs in a Wine prefix of its own, made on the first start and reused after:
# ${XDG_DATA_HOME:-~/.local/share}/tagwright/wineprefix. The library is put at that prefix's
# C:\EPCSDK.DLL, where the program looks for it, and the device is mapped as its COM9, the
# port the program always opens. tagwright.exe comes from the operator's zip: the one that
# --zip names, or the one in dist/, which is built when it is missing. Wine is installed when
# it is missing (scripts/setup.sh). Nothing outside the prefix is changed but those two.
#
# Wine's messages are off unless WINEDEBUG says otherwise: WINEDEBUG=+comm shows every call
# that the reader library makes on the serial port, for telling a fault of the line from one
# of the library.
#
# Every refusal is one line on standard error, with the exit status 2.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

refuse() {
    echo "run-windows.sh: $*" >&2
    exit 2
}

usage="usage: scripts/run-windows.sh --library PATH/EPCSDK.DLL --serial /dev/ttyUSB0 [--zip ZIP]"
library="" serial="" zip=""
while (($#)); do
    case $1 in
    --library) library=${2:-} ;;
    --serial) serial=${2:-} ;;
    --zip) zip=${2:-} ;;
    *) refuse "$usage" ;;
    esac
    shift $(($# < 2 ? $# : 2))
done
[[ -n $library && -n $serial ]] || refuse "$usage"
[[ -f $library ]] || refuse "no reader library at $library"
[[ -z $zip || -f $zip ]] || refuse "no zip at $zip"
[[ -e $serial ]] || refuse "no serial device at $serial: is the reader plugged in?"
[[ -c $serial ]] || refuse "$serial is not a serial device"
if [[ ! -r $serial || ! -w $serial ]]; then
    # Serial devices are the group dialout's on Debian (crw-rw---- root dialout).
    group=$(stat -c %G "$serial") mode=$(stat -c %A "$serial")
    [[ ${mode:4:2} == rw ]] ||
        refuse "$(id -un) may not open $serial ($mode, $(stat -c %U "$serial") only)"
    refuse "$(id -un) may not open $serial: add the user to the group $group" \
        "(sudo usermod -aG $group $(id -un)), then log in again"
fi
# Wine draws on an X display (XWayland's, under Wayland); without one the window fails
# silently, since Wine's messages are off.
[[ -n ${DISPLAY:-} ]] || refuse "no X display to show the window on (DISPLAY is not set)"
library=$(realpath "$library")
serial=$(realpath "$serial")

"$root/scripts/setup.sh" >&2
# A display that is set but gone (a closed desktop, a stale ssh display): xdotool, which
# setup.sh installs, only opens it.
xdotool getdisplaygeometry >/dev/null 2>&1 ||
    refuse "cannot open the X display $DISPLAY: is its X server (or XWayland) running?"
[[ -n $zip ]] || zip=$(ls "$root"/dist/tagwright-*-win32.zip 2>/dev/null | tail -n1 || true)
[[ -n $zip ]] || zip=$("$root/scripts/package-windows.sh")
zip=$(realpath "$zip")

export WINEPREFIX=${XDG_DATA_HOME:-$HOME/.local/share}/tagwright/wineprefix
# No installer prompts for Wine's .NET and HTML engines, and no menu entries or file
# associations outside the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine stamps a prefix it has made; its registry files come later, when its server ends.
if [[ ! -f $WINEPREFIX/.update-timestamp ]]; then
    echo "Making the Wine prefix $WINEPREFIX (once)" >&2
    mkdir -p "$WINEPREFIX"
    WINEDEBUG=-all wineboot --init >/dev/null 2>&1 || refuse "Wine could not make $WINEPREFIX"
fi
program=$WINEPREFIX/drive_c/tagwright
mkdir -p "$program"
(cd "$program" && cmake -E tar xf "$zip")
cp "$library" "$WINEPREFIX/drive_c/EPCSDK.DLL"
ln -sfn "$serial" "$WINEPREFIX/dosdevices/com9"

echo "Starting tagwright.exe: $library at C:\\EPCSDK.DLL, $serial as COM9" >&2
cd "$program"
exec env WINEDEBUG="${WINEDEBUG:--all}" wine tagwright.exe
