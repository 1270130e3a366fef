#!/usr/bin/env bash
# Starts this clone's Windows program under Wine, as the Debian package's launcher starts the
# installed one (packaging/tagwright, whose rules hold here: the Wine prefix, C:\EPCSDK.DLL,
# COM9, the library and device remembered, the refusals):
#   scripts/run-windows.sh [--library PATH/EPCSDK.DLL] [--serial DEVICE] [--zip ZIP]
#
# After the launcher's checks it installs what is missing (scripts/setup.sh), makes the
# operator's zip of the project's version in dist/ when it is missing or older than the
# sources (scripts/package-windows.sh), or takes the one that --zip names, unpacks it to
# ${XDG_DATA_HOME:-~/.local/share}/tagwright/program with packaging/font-link.reg beside it,
# and starts the launcher with TAGWRIGHT_PROGRAM_DIR pointed there.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/release.sh"
launcher=$root/packaging/tagwright

refuse() {
    echo "run-windows.sh: $*" >&2
    exit 2
}

usage="usage: scripts/run-windows.sh [--library PATH/EPCSDK.DLL] [--serial DEVICE] [--zip ZIP]"
arguments=() zip=""
while (($#)); do
    case $1 in
    --library | --serial) arguments+=("$1" "${2:-}") ;;
    --zip) zip=${2:-} ;;
    *) refuse "$usage" ;;
    esac
    shift $(($# < 2 ? $# : 2))
done
[[ -z $zip || -f $zip ]] || refuse "no zip at $zip"
# The library, the device and the display are refused before anything is installed or built.
"$launcher" --check "${arguments[@]}"

"$root/scripts/setup.sh" >&2
if [[ -z $zip ]]; then
    version=$(project_version "$root")
    zip=$root/dist/tagwright-$version-win32.zip
    # What goes into tagwright.exe (its icon too), and the operator's README.txt beside it.
    if [[ ! -f $zip ]] || [[ -n $(find "$root/CMakeLists.txt" "$root"/{cmake,numbering,reader} \
        "$root"/{window,developer,win32,icons} -type f -newer "$zip" -print -quit) ]]; then
        zip=$("$root/scripts/package-windows.sh")
    fi
fi
zip=$(realpath "$zip")

program=${XDG_DATA_HOME:-$HOME/.local/share}/tagwright/program
rm -rf "$program"
(umask 077 && mkdir -p "$program")
(cd "$program" && cmake -E tar xf "$zip")
[[ ! -f $root/packaging/font-link.reg ]] || cp "$root/packaging/font-link.reg" "$program/"
TAGWRIGHT_PROGRAM_DIR=$program exec "$launcher" "${arguments[@]}"
