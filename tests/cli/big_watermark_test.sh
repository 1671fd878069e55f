#!/usr/bin/env bash
# A tall logo stretched over a large photo is drawn in bounded memory. Made whole,
# a 20x900 logo stretched to a 5184x3456 photo would be 5184 x 233280 pixels; along
# the diagonal its rows that reach the picture, as long as the diagonal, would take
# twice the photo. Centred, only its middle rows are made; the top and bottom rows
# take the same way, checked on small pictures with the watermark. Prints each
# run's peak resident size.
set -u
batch=$(realpath "$1")
command -v convert >/dev/null || { echo "ImageMagick missing: skipped"; exit 77; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time missing: skipped"; exit 77; }
. "$(dirname "$0")/check.sh"

limit=$((200 * 1024)) # KiB
convert -size 5184x3456 xc:white -quality 90 photo.jpg
convert -size 20x900 gradient:yellow-blue logo.png
"$batch" --action 4 --percent 50 -q photo.jpg >/dev/null && mv '(R)photo.jpg' plain.jpg

# No --align is "Corner to Corner", which always stretches.
for align in "" center; do
    name=${align:-corner}
    /usr/bin/time -f '%M' -o rss "$batch" --action 4 --percent 50 --watermark logo.png \
        ${align:+--align "$align"} --stretch -q photo.jpg >/dev/null
    status=$?
    echo "$name: peak RSS $(cat rss) KiB"
    check "$name: finishes" test $status -eq 0 -a -f '(R)photo.jpg'
    check "$name: stays under 200 MB" test "$(cat rss)" -lt $limit
    # The stretched logo covers the whole picture, so nearly every pixel changes.
    changed=$(compare -metric AE plain.jpg '(R)photo.jpg' null: 2>&1 | awk '{printf "%d", $1}')
    check "$name: the watermark is drawn ($changed pixels changed)" \
        test "${changed:-0}" -gt $((2592 * 1728 / 2))
    rm -f '(R)photo.jpg'
done

echo "$passes passed, $fails failed"
test $fails -eq 0
