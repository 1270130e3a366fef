#!/usr/bin/env bash
# Makes the program's icons from their one drawing, icons/tagwright.svg: the PNGs of the
# Linux icon theme (icons/png/tagwright-N.png) and the Windows icon (icons/tagwright.ico,
# 16, 24, 32 and 48 px as bitmaps, 256 px PNG-compressed), which the Windows program's
# resources and the Qt window take. Run by hand after changing the drawing, and commit what it
# makes with it: the build never runs it.
#
# Needs rsvg-convert (Debian's librsvg2-bin) and ImageMagick's convert (imagemagick):
#   apt-get install librsvg2-bin imagemagick
#
# The files carry no time stamps or other metadata, so that the same drawing always gives the
# same bytes, for byte-reproducible releases.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
svg=$root/icons/tagwright.svg
out=$root/icons

for tool in rsvg-convert convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "make-icons.sh: $tool missing: apt-get install librsvg2-bin imagemagick" >&2
        exit 2
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each size drawn from the vector drawing, not scaled down from a bigger picture, so that
# the small ones stay sharp. RGBA with 8 bits a channel, no chunk but the image's own.
png_options=(-strip -define png:exclude-chunks=all -define png:include-chunks=none
    -define png:color-type=6 -define png:bit-depth=8)
mkdir -p "$out/png"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --format png "$svg" -o "$work/raw-$size.png"
    convert "$work/raw-$size.png" "${png_options[@]}" "PNG32:$out/png/tagwright-$size.png"
done

# ImageMagick writes a 256 px entry PNG-compressed, the smaller ones as bitmaps with their
# mask, as Windows' own icons are.
convert "$out/png/tagwright-16.png" "$out/png/tagwright-24.png" "$out/png/tagwright-32.png" \
    "$out/png/tagwright-48.png" "$out/png/tagwright-256.png" \
    "${png_options[@]}" "$out/tagwright.ico"

echo "make-icons.sh: made $out/png/tagwright-{16,24,32,48,64,128,256}.png and $out/tagwright.ico"
