#!/bin/sh
# Drives the real window on a virtual display with xdotool, as a user would:
# typing over a size preset, and pictures named as plain arguments then processed.
# usage: window_drive_test.sh PATH/TO/zembra   (run under xvfb-run)
set -eu
zembra=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
command -v xdotool >/dev/null || { echo "xdotool missing: skipped"; exit 77; }
command -v convert >/dev/null || { echo "ImageMagick missing: skipped"; exit 77; }
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/config" ZEMBRA_UPDATE_SITE=http://127.0.0.1:9
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The twenty settings lines with these values changed.
settings() {
    mkdir -p "$work/config/KVD"
    printf '%s\r\n' date=0 showdate=0 time=0 "lastselection=$1" aspect=0 exif=0 \
        resizequality=100 text2=50 height=768 "combo3=$2" width=1280 preview=0 \
        watermarkfile= watermarkname= watermarkstretch=0 watermarkalign=0 transparency=0 \
        "resizetype=$3" firstrun=1 VER=2 >"$work/config/KVD/config.txt"
}

start() { # arguments of zembra
    "$zembra" --font-size 9 "$@" &
    pid=$!
    win=$(xdotool search --sync --onlyvisible --name '^Zembra')
    # Layout pixels become screen pixels by the window's scale (988 at scale 1).
    width=$(xdotool getwindowgeometry --shell "$win" | sed -n 's/^WIDTH=//p')
    sleep 0.5
}
click() { # x y in layout pixels
    xdotool mousemove --window "$win" $(($1 * width / 988)) $(($2 * width / 988)) click 1
    sleep 0.3
}
quit() {
    click 918 358 # Cancel/Quit
    wait "$pid" || true
    pid=
}
setting() { tr -d '\r' <"$work/config/KVD/config.txt" | grep -x "$1" >/dev/null; }

# Typing over the 1280x768 preset keeps every key in the field typed.
type_over_preset() { # x y of the field, then the keys
    settings 4 2 M
    start
    click "$1" "$2"
    xdotool key ctrl+a type --delay 80 "$3"
    sleep 0.3
    quit
}
type_over_preset 124 298 1024 # Width
setting width=1024 || fail "Width: $(grep width= "$work/config/KVD/config.txt")"
setting combo3=0 || fail "the preset did not turn to Custom"
type_over_preset 256 298 900 # Height
setting height=900 || fail "Height: $(grep height= "$work/config/KVD/config.txt")"
setting width=1280 || fail "Width changed: $(grep width= "$work/config/KVD/config.txt")"

# zembra a.jpg b.jpg lists both; "Process All" at 50 % writes both copies.
settings 4 0 P
mkdir "$work/pics"
convert -size 80x60 xc:red "$work/pics/a.jpg"
convert -size 80x60 xc:blue "$work/pics/b.jpg"
cd "$work/pics"
start a.jpg b.jpg
click 790 358 # Process All
sleep 1
quit
cd "$work"
copies=$(find "$work/pics" -name '*.jpg' ! -name a.jpg ! -name b.jpg | wc -l)
[ "$copies" -eq 2 ] || fail "$copies copies: $(ls "$work/pics")"
for copy in $(find "$work/pics" -name '*.jpg' ! -name a.jpg ! -name b.jpg); do
    [ "$(identify -format %wx%h "$copy")" = 40x30 ] || fail "$copy is not half the size"
done
# "Preview Names" opens the table of what "Process All" would do, and changes
# nothing: not even a name that is taken already gets a file.
cp "$work/pics/a.jpg" "$work/pics/(R)a.jpg"
before=$(cd "$work/pics" && ls -l --time-style=full-iso && cat ./* | md5sum)
cd "$work/pics"
start a.jpg b.jpg
click 667 426 # Preview Names
table=$(timeout 5 xdotool search --sync --onlyvisible --name '^Preview Names' | head -n 1) ||
    fail "no Preview Names window"
[ -n "$table" ] && xdotool windowfocus --sync "$table" key Escape
quit
cd "$work"
[ "$(cd "$work/pics" && ls -l --time-style=full-iso && cat ./* | md5sum)" = "$before" ] ||
    fail "Preview Names changed the folder: $(ls "$work/pics")"
[ "$failures" -eq 0 ]
