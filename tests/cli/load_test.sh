#!/usr/bin/env bash
# Many pictures through "Create/Resize/Rename/Convert Copy" in one zembra-batch run:
# the counts must be right and the peak memory must not grow with the number of
# pictures. Prints the peak resident size of a small and of the full run.
# usage: load_test.sh ZEMBRA-BATCH [PICTURES]   (default 5000; the suite uses fewer)
set -u
batch=$(realpath "$1")
count=${2:-5000}
small=100
[ "$count" -lt 400 ] && small=$((count / 4))
samples=$(cd "$(dirname "$0")/../../data/samples" && pwd)
dir=$(mktemp -d)
# Originals a run replaces go to a Trash of the test's own.
XDG_DATA_HOME=$(mktemp -d)
export XDG_DATA_HOME
# And their run journals, a state folder of its own.
export XDG_STATE_HOME="$XDG_DATA_HOME/state"
trap 'rm -rf "$dir" "$XDG_DATA_HOME"' EXIT

# Peak resident size in KiB of one run over `n` pictures; checks its counts.
run() { # n
    local n=$1 folder="$dir/run$1"
    mkdir "$folder"
    for i in $(seq -w 1 "$n"); do
        if [ $((10#$i % 2)) -eq 0 ]; then
            cp "$samples/harbour.jpg" "$folder/p$i.jpg"
        else
            cp "$samples/sunset.png" "$folder/p$i.png"
        fi
    done
    (cd "$folder" && /usr/bin/time -f '%M' -o "$dir/rss$n" \
        "$batch" --action 6 --name Load --percent 50 --convert jpg p* >"$dir/out$n" 2>"$dir/err$n")
    local status=$?
    local made
    made=$(find "$folder" -iname 'Load-*.jpg' | wc -l)
    if [ $status -ne 0 ] || [ "$made" -ne "$n" ] ||
        [ "$(tail -n 1 "$dir/out$n")" != "$n of $n processed - 0 skipped" ]; then
        echo "FAILED: $n pictures: exit $status, $made copies, '$(tail -n 1 "$dir/out$n")'"
        head -n 5 "$dir/err$n"
        return 1
    fi
    cat "$dir/rss$n"
}

rssSmall=$(run "$small") || { echo "$rssSmall"; exit 1; }
rssLarge=$(run "$count") || { echo "$rssLarge"; exit 1; }
echo "peak RSS: $rssSmall KiB at $small pictures, $rssLarge KiB at $count pictures"
# Flat: the list of names may grow a little; pictures must not pile up.
allowed=$((rssSmall + rssSmall / 2 + count * 2))
if [ "$rssLarge" -gt "$allowed" ]; then
    echo "FAILED: memory grew from $rssSmall KiB to $rssLarge KiB (allowed $allowed)"
    exit 1
fi
