#!/usr/bin/env bash
# Builds the release twice, from two copies of the sources in two different folders, and
# checks that tagwright.exe, the operator's zip and, where scripts/package-debian.sh exists,
# the Debian package come out byte for byte the same. Prints one line for each, with its
# SHA-256; fails naming the first that differs and where.
#
# The copies hold the tracked files and the untracked ones that git does not ignore, so that
# uncommitted work is checked as it stands; both take the release's time from here.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/lib/release.sh
source "$root/scripts/lib/release.sh"
SOURCE_DATE_EPOCH=$(source_date_epoch "$root")
export SOURCE_DATE_EPOCH

work=$(mktemp -d "${TMPDIR:-/tmp}/tagwright-reproducible.XXXXXX")
# Kept where the builds differ, to look into.
trap 'if [[ $? -eq 0 ]]; then rm -rf "$work"; else echo "check-reproducible.sh: the builds are in $work" >&2; fi' EXIT

# Folders of different depths and name lengths, so that a path of the build that leaks into
# an artefact shows as a difference.
copies=("$work/a/tagwright" "$work/second-clone/elsewhere/src")
for copy in "${copies[@]}"; do
    mkdir -p "$copy"
    # A tracked file deleted in the work tree is listed too, and left out.
    (cd "$root" && git ls-files -co --exclude-standard -z |
        while IFS= read -r -d '' file; do
            [[ ! -e $file && ! -L $file ]] || printf '%s\0' "$file"
        done | tar --null -T - -cf -) | tar -C "$copy" -xf -
done

# The artefacts of one copy, one "name path" line each, in the same order for every copy.
build_release() {
    local copy=$1 log=$1.log path
    if ! path=$(TAGWRIGHT_BUILD_DIR=$copy.build-windows "$copy/scripts/package-windows.sh" 2>"$log"); then
        echo "check-reproducible.sh: the Windows release of $copy did not build:" >&2
        tail -n 20 "$log" >&2
        return 1
    fi
    echo "tagwright.exe $copy.build-windows/bin/tagwright.exe"
    echo "$(basename "$path") $path"
    if [[ -x $copy/scripts/package-debian.sh ]]; then
        # From the zip just made: the program is built once per copy.
        if ! path=$("$copy/scripts/package-debian.sh" --zip "$path" 2>>"$log"); then
            echo "check-reproducible.sh: the Debian package of $copy did not build:" >&2
            tail -n 20 "$log" >&2
            return 1
        fi
        echo "$(basename "$path") $path"
    fi
}

build_release "${copies[0]}" >"$work/first.list"
# The second as on another builder's machine: another time zone (UTC+14, which needs no time
# zone data) and another umask.
(
    umask 0002
    export TZ=XST-14
    build_release "${copies[1]}"
) >"$work/second.list"

status=0
while read -r name first && read -r _ second <&3; do
    if difference=$(cmp "$first" "$second" 2>&1); then
        echo "$(sha256sum <"$first" | cut -c1-64)  $name identical"
        continue
    fi
    status=1
    byte=$(sed -n 's/.* differ: byte \([0-9]*\),.*/\1/p' <<<"$difference")
    if [[ -z $byte ]]; then
        # One is the other cut short, or cannot be read: cmp says which.
        echo "check-reproducible.sh: $name differs between the two builds: $difference" >&2
        continue
    fi
    # cmp counts bytes from 1; the offset counts from 0, as hex dumps and objdump do.
    offset=$((byte - 1))
    echo "check-reproducible.sh: $name differs between the two builds, first at offset" \
        "$offset (0x$(printf '%x' "$offset")), in $(cmp -l "$first" "$second" | wc -l) bytes" >&2
done <"$work/first.list" 3<"$work/second.list"
exit $status
