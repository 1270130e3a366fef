#!/usr/bin/env bash
# The Debian package as a Linux operator has it: built from the Windows program of the main
# build (scripts/test.sh's), checked by lintian and desktop-file-validate, installed with
# apt-get, its launcher's programs held against its Depends, started by a user of the group
# dialout on a virtual display with the serial stand-in at C:\EPCSDK.DLL and the Linux reader
# on a pseudo-terminal (a first start cut short, then one that works while a second is
# refused), a card written, started again with what it remembered, and purged, leaving
# nothing of it behind:
#   scripts/test-package.sh [BUILD]     (BUILD: build/, or $TAGWRIGHT_BUILD_DIR)
# It installs and removes a package and a user, so it runs as root (or through sudo without a
# password), and refuses where tagwright is installed already.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/release.sh"
source "$root/scripts/lib/wine.sh"
build=$(realpath "${1:-${TAGWRIGHT_BUILD_DIR:-$root/build}}")
user=tagwright-test
started=$SECONDS

fail() {
    echo "test-package.sh: $*" >&2
    exit 1
}

if [[ $(id -u) -ne 0 ]]; then
    sudo -n true 2>/dev/null ||
        fail "installing the Debian package needs root, or sudo without a password"
    exec sudo -n "$0" "$build"
fi
windows=$build/windows
for file in "$windows/bin/tagwright.exe" "$windows/bin/serial_line_test.exe" \
    "$windows/serial-reader-library/EPCSDK.DLL" "$build/bin/serial_tag_reader"; do
    [[ -f $file ]] || fail "$file is missing: build $build with its Windows tests first"
done
! dpkg-query -W -f='${Status}' tagwright 2>/dev/null | grep -q installed ||
    fail "tagwright is installed on this machine: the test installs and purges its own"
! id "$user" >/dev/null 2>&1 || fail "the user $user exists: remove it (userdel -r $user)"

work=$(mktemp -d /tmp/tagwright-package.XXXXXX)
chmod 755 "$work"
home=/home/$user
prefix=$home/.local/share/tagwright/wineprefix
xvfb="" launcher="" display="" installed="" nodes=()
cleanup() {
    ((${#nodes[@]} == 0)) || rm -f "${nodes[@]}"
    if id "$user" >/dev/null 2>&1; then
        # Whatever runs as the test's own user ends with it: the program, its Wine prefix's
        # programs and server, a refusal's window.
        end_processes "the processes of $user" -u "$user" || true
        [[ -z $launcher ]] || wait "$launcher" 2>/dev/null || true
        userdel --remove "$user" 2>/dev/null || true
    fi
    for pid_file in "$work"/reader*-pid; do
        [[ ! -s $pid_file ]] || kill "$(cat "$pid_file")" 2>/dev/null || true
    done
    [[ -z $xvfb ]] || kill "$xvfb" 2>/dev/null || true
    [[ -z $installed ]] || apt-get purge -y -qq tagwright >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# A login of the test's user, with nothing of root's environment.
as_user() {
    runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/bin:/bin \
        LANG=C.UTF-8 DISPLAY="$display" "$@"
}
apt() {
    DEBIAN_FRONTEND=noninteractive apt-get -y "$@" >"$work/apt.log" 2>&1 ||
        fail "apt-get $* failed: $(cat "$work/apt.log")"
}

# The package, from the main build's tagwright.exe.
version=$(project_version "$root")
cmake -DEXE="$windows/bin/tagwright.exe" -DREADME="$root/win32/README.txt" \
    -DVERSION="$version" -DOUT="$work/tagwright.zip" -P "$root/cmake/package-windows.cmake"
deb=$("$root/scripts/package-debian.sh" --zip "$work/tagwright.zip" --out "$work")
# lintian's own remark on running as root is no finding.
if ! findings=$(lintian --fail-on error,warning "$deb" 2>&1) ||
    grep -v '^running with root privileges' <<<"$findings" | grep -q .; then
    echo "$findings" >&2
    fail "lintian reports the findings above on $(basename "$deb")"
fi
echo "$(basename "$deb"): $(($(stat -c %s "$deb") / 1024)) KiB, lintian finds nothing"

apt install "$deb"
installed=1
echo "apt-get install: $(grep -E '^[0-9]+ upgraded' "$work/apt.log")"
dpkg -L tagwright >"$work/files"
if ! findings=$(desktop-file-validate /usr/share/applications/tagwright.desktop 2>&1) ||
    [[ -n $findings ]]; then
    fail "desktop-file-validate: $findings"
fi

# setup.sh has installed every dependency, so apt-get cannot miss one: each program that the
# launcher names (comments, double-quoted texts and options aside) must come from this
# package, a package that it depends on, one that such a package depends on, or an
# Essential one.
packages() { dpkg-query -W -f='${Depends} ${Pre-Depends}' "$@" | sed 's/([^)]*)//g; s/:any//g; s/[ ,|]\+/ /g'; }
depends=" tagwright $(packages tagwright) "
# shellcheck disable=SC2086 # one package name a word
depends+=" $(packages $depends 2>/dev/null) "
missing=()
for word in $(sed -e 's/^[[:space:]]*#.*//' -e 's/"[^"]*"//g' -e 's/-[-A-Za-z0-9]*//g' \
    /usr/bin/tagwright | grep -oE '[A-Za-z][A-Za-z0-9_.]*' | sort -u); do
    [[ $(type -t "$word") == file ]] || continue
    path=$(type -P "$word") package=""
    # Merged /usr: dpkg may know a program by its /bin name, or an alternative's by its target.
    for candidate in "$path" "/bin/$word" "$(realpath "$path")"; do
        package=$(dpkg -S "$candidate" 2>/dev/null) && break
    done
    package=${package%%:*}
    [[ -n $package && ($depends == *" $package "* ||
        $(dpkg-query -W -f='${Essential}' "$package") == yes) ]] ||
        missing+=("$word (${package:-no package})")
done
((${#missing[@]} == 0)) ||
    fail "the launcher calls programs of packages that it does not depend on: ${missing[*]}"
echo "desktop-file-validate finds nothing in the installed menu entry; every program that" \
    "the launcher calls comes from its Depends or an Essential package"

useradd --create-home --groups dialout --shell /bin/bash "$user"
# The user's home, but for the program's own folders and the parents that they need: the
# program changes nothing else there.
home_listing() {
    (cd "$home" && find . \( -path ./.config/tagwright -o -path ./.local/share/tagwright \) \
        -prune -o \( -type d -printf '%p/\n' \) -o -printf '%p %s %T@\n' | LC_ALL=C sort)
}
home_listing >"$work/home.before"
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp \
    3>"$work/display" >"$work/xvfb.log" 2>&1 </dev/null &
xvfb=$!
wait_for 60 "Xvfb to accept clients" test -s "$work/display" ||
    fail "Xvfb did not start: $(cat "$work/xvfb.log")"
display=:$(head -n1 "$work/display")

# The menu's first start, before anything is remembered: the refusal, in a window too.
status=0
as_user tagwright 2>"$work/refusal.log" </dev/null || status=$?
[[ $status -eq 2 && $(cat "$work/refusal.log") == "tagwright: no reader library or serial"* ]] ||
    fail "tagwright without a library or a device ended with $status: $(cat "$work/refusal.log")"
refusal_window() {
    window=$(as_user xwininfo -root -tree | awk '/"Pro Tagwright cannot start"/ { print $1; exit }')
    [[ -n $window ]]
}
wait_for 60 "the refusal's window" refusal_window ||
    fail "the refusal of a start without a terminal showed no window"
as_user xkill -id "$window" >/dev/null

# The reader on a pseudo-terminal that only root and the group dialout may open, as a USB
# serial adapter's device.
cp "$windows/serial-reader-library/EPCSDK.DLL" "$windows/bin/serial_line_test.exe" "$work/"
# A Linux reader on the pseudo-terminal tty$1 (tty, tty2), its device the group dialout's.
reader() {
    install -o "$user" -m 0644 /dev/null "$work/control$1"
    "$build/bin/serial_tag_reader" --link "$work/tty$1" --log "$work/frames$1.log" \
        --tag "$work/tag$1" --control "$work/control$1" --pid-file "$work/reader$1-pid" >/dev/null
    chgrp dialout "$(realpath "$work/tty$1")"
    chmod 0660 "$(realpath "$work/tty$1")"
}
reader ""

# Starts the installed tagwright as the user with ARGUMENTS, and waits for its start line.
start() {
    local log=$1
    shift
    as_user tagwright "$@" >"$log" 2>&1 </dev/null &
    launcher=$!
    # The first start makes the Wine prefix: minutes where Wine runs under an emulator.
    launcher_started 1200 "$log" "$launcher" && return 0
    # try=1: the caller decides.
    [[ -z ${try:-} ]] || return 1
    cat "$log" >&2
    fail "tagwright $* did not start tagwright.exe"
}
# Drives the window with the Windows tests' driver, in the user's prefix, on that display.
drive() {
    if ! as_user WINEPREFIX="$prefix" WINEDEBUG=-all QEMU_RESERVED_VA="$QEMU_RESERVED_VA" \
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
        TAGWRIGHT_SERIAL_TAG="Z:$work/tag" TAGWRIGHT_SERIAL_CONTROL="Z:$work/control" \
        wine "$work/serial_line_test.exe" >"$work/driver.log" 2>&1; then
        cat "$work/driver.log" "$work/start.log" >&2
        fail "the window did not do what serial_line_test.exe expects (above)"
    fi
    # The driver ends the program.
    wait "$launcher" || true
}

# A first start cut short while Wine builds the prefix: the next start builds it again.
as_user tagwright --library "$work/EPCSDK.DLL" --serial "$work/tty" >"$work/cut.log" 2>&1 \
    </dev/null &
launcher=$!
wait_for 600 "Wine to begin the prefix" test -e "$prefix/.update-timestamp" ||
    fail "the first start did not begin the Wine prefix: $(cat "$work/cut.log")"
end_processes "the cut first start" -u "$user"
wait "$launcher" 2>/dev/null || true

# The library by a link, which the second start finds pointing to another copy.
mkdir "$work/first" "$work/second"
cp "$work/EPCSDK.DLL" "$work/first/"
{ cat "$work/EPCSDK.DLL" && echo second; } >"$work/second/EPCSDK.DLL"
ln -s first/EPCSDK.DLL "$work/library"
# Where Wine runs under an emulator, it crashes now and then as it builds a prefix, and the
# launcher refuses: there that start is made once more, as an operator would.
if ! try=1 start "$work/start.log" --library "$work/library" --serial "$work/tty"; then
    wine_emulated || fail "the start after the cut one did not start tagwright.exe"
    echo "== Wine runs under an emulator here: the start that builds the prefix, once more"
    end_processes "the failed start" -u "$user"
    start "$work/start.log" --library "$work/library" --serial "$work/tty"
fi
status=0
as_user tagwright >"$work/second.log" 2>&1 </dev/null || status=$?
[[ $status -eq 2 && $(head -n1 "$work/second.log") == "tagwright: Pro Tagwright is already running" ]] ||
    fail "a second start while the program runs ended with $status: $(cat "$work/second.log")"
# The prefix's Wine Ports setting, whose COM9 the mount manager applies before it numbers the
# devices it finds itself.
ports() { sed -n '/^\[Software\\\\Wine\\\\Ports\]/,/^\[/p' "$prefix/system.reg"; }
ports=$(ports)
grep -qxF "\"COM9\"=\"$work/tty\"" <<<"$ports" ||
    fail "the prefix's Wine Ports setting does not name $work/tty as COM9: $ports"
# The driver reads the card's words back from the reader's tag file.
drive
echo "Started by $user (group dialout) with --library and --serial: connected, wrote" \
    "cards, the reader's tag holds their words"
ln -sfn second/EPCSDK.DLL "$work/library"
# More serial devices than leave COM9 free, where the machine has none of its own to number:
# Wine's mount manager numbers those it finds as COM1, COM2, … when its server starts, and
# must leave COM9 to the setting. (Removed again by the cleanup.)
if ! compgen -G "/dev/ttyUSB*" >/dev/null; then
    for n in {0..11}; do
        mknod -m 0660 "/dev/ttyUSB$n" c 188 "$n" && chgrp dialout "/dev/ttyUSB$n" && nodes+=("/dev/ttyUSB$n")
    done
fi
start "$work/start.log"
cmp -s "$work/second/EPCSDK.DLL" "$prefix/drive_c/EPCSDK.DLL" ||
    fail "the library's link, pointed to another copy, did not bring that copy into the prefix"
expected="Starting tagwright.exe: $work/library at C:\\EPCSDK.DLL, $work/tty as COM9"
# Its line, wherever it stands: where Wine runs under an emulator, the emulator's own reports
# of Wine's helper programs may follow it.
grep -aqxF "$expected" "$work/start.log" ||
    fail "tagwright without arguments did not take the remembered ones: $(cat "$work/start.log")"
drive
[[ $(readlink "$prefix/dosdevices/com9") == "$work/tty" ]] ||
    fail "COM9 is $(readlink "$prefix/dosdevices/com9"), not $work/tty, with ${#nodes[@]} more" \
        "serial devices on the machine"
echo "Started again without arguments: the remembered library (its link re-pointed) and" \
    "device, connected, wrote cards; COM9 stayed $work/tty beside ${#nodes[@]} more serial" \
    "devices (Wine's COM ports:" "$(cd "$prefix/dosdevices" && echo com*))"

# Another device given: the next start moves COM9 to it, in the setting and the link.
reader 2
start "$work/moved.log" --serial "$work/tty2"
ports=$(ports)
if ! grep -qxF "\"COM9\"=\"$work/tty2\"" <<<"$ports" ||
    [[ $(readlink "$prefix/dosdevices/com9") != "$work/tty2" ]]; then
    fail "COM9 did not move to $work/tty2 given at the next start: $ports"
fi
end_processes "the program on the other device" -u "$user"
wait "$launcher" 2>/dev/null || true
echo "Started with another device: COM9 moved to it"
launcher=""
changed=$(diff "$work/home.before" <(home_listing) | grep '^[<>]' |
    grep -vxE '> \./(\.config|\.local|\.local/share)/' || true)
[[ -z $changed ]] || fail "the program changed the user's home outside its folders: $changed"
apt purge tagwright
left=()
while IFS= read -r path; do
    [[ $path != /. ]] || continue
    # A folder that another package holds too, such as /usr/share/man/man1, stays.
    if [[ -e $path || -L $path ]] && ! { [[ -d $path ]] && dpkg -S "$path" >/dev/null 2>&1; }; then
        left+=("$path")
    fi
done <"$work/files"
installed=""
((${#left[@]} == 0)) || fail "apt-get purge tagwright left ${left[*]}"
echo "Purged: none of its $(wc -l <"$work/files") paths is left but shared folders" \
    "($((SECONDS - started)) s)"
