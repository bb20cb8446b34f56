#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG (needs rsvg-convert, Debian
# package librsvg2-bin). The PNGs are kept in the tree so that a build needs no renderer.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
svg="$here/resources/desktop/io.vorn.Vorn.svg"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$here/resources/desktop/icons/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$here/resources/desktop/icons/${size}x${size}/io.vorn.Vorn.png"
done

# The stock icons offered for discs: each drawing rendered at 16, 32 and 48 pixels
# into one .ico file (needs ImageMagick's convert).
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$here/resources/Ico"
for svg in "$here"/resources/stock-icons/*.svg; do
    name="$(basename "$svg" .svg)"
    for size in 16 32 48; do
        rsvg-convert -w "$size" -h "$size" "$svg" -o "$work/$name-$size.png"
    done
    convert "$work/$name-16.png" "$work/$name-32.png" "$work/$name-48.png" "$here/resources/Ico/$name.ico"
done
