#!/usr/bin/env bash
# Makes the Debian package for Linux operators, dist/tagwright_<version>_all.deb, and prints
# its path; its line goes into SHA256SUMS beside it:
#   scripts/package-debian.sh [--zip ZIP] [--out FOLDER]
#
# The package holds the Windows program from the operator's zip (made by
# scripts/package-windows.sh, or the one that --zip names) and what packaging/ holds: the
# launcher /usr/bin/tagwright, the menu entry, the manual page, the copyright and changelog,
# and the icons from icons/. Two builds of one commit are alike byte for byte: every file has
# the release's time (source_date_epoch), its owner root and a fixed mode, in a fixed order.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/release.sh"

fail() {
    echo "package-debian.sh: $*" >&2
    exit 1
}

zip="" out=$root/dist
while (($#)); do
    case $1 in
    --zip) zip=$(realpath "${2:?--zip ZIP}") ;;
    --out) out=${2:?--out FOLDER} ;;
    *) fail "usage: scripts/package-debian.sh [--zip ZIP] [--out FOLDER]" ;;
    esac
    shift 2
done

version=$(project_version "$root")
packaging=$root/packaging
changelog_version=$(sed -n '1s/^tagwright (\([^)]*\)).*/\1/p' "$packaging/changelog")
[[ $changelog_version == "$version" ]] ||
    fail "packaging/changelog's first entry is ${changelog_version:-none}, the project's" \
        "version $version: add an entry for it"
icon_sizes=(16 24 32 48 64 128 256)
for icon in icons/tagwright.svg "${icon_sizes[@]/#/icons/png/tagwright-}"; do
    [[ $icon == *.svg ]] || icon=$icon.png
    [[ -f $root/$icon ]] || fail "$icon is missing: the menu entry's icon"
done

[[ -n $zip ]] || zip=$("$root/scripts/package-windows.sh")
SOURCE_DATE_EPOCH=$(source_date_epoch "$root")
export SOURCE_DATE_EPOCH

umask 022
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
mkdir "$staging/zip"
(cd "$staging/zip" && cmake -E tar xf "$zip")
tree=$staging/tagwright
share=$tree/usr/share
doc=$share/doc/tagwright
mkdir -p "$tree/DEBIAN" "$tree/usr/bin" "$share/tagwright" "$share/applications" \
    "$share/man/man1" "$doc" "$share/icons/hicolor/scalable/apps"

install -m 0755 "$packaging/tagwright" "$tree/usr/bin/tagwright"
install -m 0644 "$staging/zip/tagwright.exe" "$staging/zip/README.txt" "$share/tagwright/"
if [[ -f $packaging/font-link.reg ]]; then
    install -m 0644 "$packaging/font-link.reg" "$share/tagwright/"
fi
install -m 0644 "$packaging/tagwright.desktop" "$share/applications/"
install -m 0644 "$root/icons/tagwright.svg" "$share/icons/hicolor/scalable/apps/"
for size in "${icon_sizes[@]}"; do
    install -D -m 0644 "$root/icons/png/tagwright-$size.png" \
        "$share/icons/hicolor/${size}x$size/apps/tagwright.png"
done
gzip -9n <"$packaging/tagwright.1" >"$share/man/man1/tagwright.1.gz"
gzip -9n <"$packaging/changelog" >"$doc/changelog.gz"
install -m 0644 "$packaging/copyright" "$doc/"
if [[ -f $packaging/lintian-overrides ]]; then
    install -D -m 0644 "$packaging/lintian-overrides" "$share/lintian/overrides/tagwright"
fi
chmod 0644 "$share/man/man1/tagwright.1.gz" "$doc/changelog.gz"

# Installed-Size counts, as dpkg-gencontrol does, each file's KiB rounded up and one for
# each folder.
installed_size=$(cd "$tree" && find usr -printf '%y %s\n' |
    awk '{ size += $1 == "f" ? int(($2 + 1023) / 1024) : 1 } END { print size }')
# Architecture: all (packaging/control.in). The package holds no code that the machine runs
# itself: tagwright.exe is an i386 Windows program and the launcher a shell script. Where
# that program can run is Wine's to say, through the Depends on wine32, which is Multi-Arch:
# foreign: amd64 with i386 enabled and i386 both take it, as does a machine where an emulator
# runs Wine's i386 programs. amd64 would shut out i386 (and such machines) for nothing, and
# i386 would have amd64 operators install the package and Wine's whole 64-bit part as i386.
sed -e "s/@VERSION@/$version/" -e "s/@INSTALLED_SIZE@/$installed_size/" \
    "$packaging/control.in" >"$tree/DEBIAN/control"
(cd "$tree" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) \
    >"$tree/DEBIAN/md5sums"
find "$tree" -type d -exec chmod 0755 {} +
chmod 0644 "$tree/DEBIAN/control" "$tree/DEBIAN/md5sums"
find "$tree" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

mkdir -p "$out"
deb=$(realpath "$out")/tagwright_${version}_all.deb
# One compressor thread: xz's output depends on how many threads split the data.
dpkg-deb --root-owner-group -Zxz --threads-max=1 --build "$tree" "$deb" >/dev/null
record_sha256 "$deb"
echo "$deb"
