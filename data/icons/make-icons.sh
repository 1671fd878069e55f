#!/bin/sh
# Renders zembra.svg into the PNG sizes of the hicolor icon theme, for desktops
# that do not draw scalable icons themselves (gdk-pixbuf's SVG loader).
set -eu
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    gdk-pixbuf-thumbnailer -s "$size" zembra.svg "zembra-$size.png"
done
