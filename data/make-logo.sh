#!/bin/sh
# Redraws the logo frames kvd1.jpg, kvd2.jpg, kvd3.jpg and kvd.jpg (ImageMagick):
# the stripes of the badge come in one by one, then the name.
set -eu
cd "$(dirname "$0")"
size=160x48
badge="roundrectangle 1,1 158,46 9,9"
stripe() { # the n-th stripe, 14 pixels right of the one before
    x=$((10 + 14 * ($1 - 1)))
    echo "polygon $x,40 $((x + 12)),8 $((x + 20)),8 $((x + 8)),40"
}

frame() { # output, stripes to draw, colour of the name ("" for none)
    out=$1 stripes=$2 name=$3
    set -- -size "$size" xc:'#f0f0f0' -fill '#1f4f9a' -draw "$badge"
    for s in $stripes; do
        set -- "$@" -fill white -draw "$(stripe "$s")"
    done
    if [ -n "$name" ]; then
        set -- "$@" -font DejaVu-Sans-Bold -pointsize 20 -fill "$name" -annotate +64+32 Zembra
    fi
    convert "$@" -quality 92 "$out"
}

frame kvd1.jpg "1" ""
frame kvd2.jpg "1 2" ""
frame kvd3.jpg "1 2 3" '#7fa6e0'
frame kvd.jpg "1 2 3" white
