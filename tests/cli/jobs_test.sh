#!/usr/bin/env bash
# zembra-batch's default run (one job per processor) and --jobs 3 against
# --jobs 1: over the same folder of varied pictures, every scenario must leave the
# same file names with the same bytes and print the same outcomes and counts, and
# leave no temporary file behind.
# usage: jobs_test.sh ZEMBRA-BATCH
set -u
batch=$(realpath "$1")
samples=$(cd "$(dirname "$0")/../../data/samples" && pwd)
dir=$(mktemp -d)
# Originals a run replaces go to a Trash of the test's own.
XDG_DATA_HOME=$(mktemp -d)
export XDG_DATA_HOME
# And their run journals, a state folder of its own.
export XDG_STATE_HOME="$XDG_DATA_HOME/state"
trap 'rm -rf "$dir" "$XDG_DATA_HOME"' EXIT
failures=0

# The pictures: every format, odd sizes, a .jpeg name, a name with dashes, a
# file the run skips and a damaged picture.
mkdir "$dir/seed" "$dir/make"
cp "$samples"/* "$dir/make/"
(cd "$dir/make" && "$batch" --jobs 1 --action 6 --name odd --percent 37 --convert bmp \
    harbour.jpg sunset.png >/dev/null &&
    "$batch" --jobs 1 --action 6 --name tiff --percent 23 --convert tif meadow.jpg market.gif \
        >/dev/null) || { echo "FAILED: could not make the pictures"; exit 1; }
cp "$dir/make"/* "$dir/seed/"
cp "$samples/meadow.jpg" "$dir/seed/long-name-with-dashes.jpeg"
cp "$samples/harbour.jpg" "$dir/seed/second.JPG"
echo "not a picture" >"$dir/seed/notes.txt"
head -c 2000 "$samples/harbour.jpg" >"$dir/seed/cut-short.jpg"

# Runs one scenario in a fresh copy of the pictures with each --jobs; the scenario
# runs twice, so the second run finds its names taken and adds dashes.
scenario() { # name, options...
    local name=$1
    shift
    for jobs in 1 default 3; do
        local folder="$dir/$name-$jobs"
        local flag=(--jobs "$jobs")
        [ "$jobs" = default ] && flag=()
        cp -r "$dir/seed" "$folder"
        for round in 1 2; do
            (cd "$folder" && "$batch" "${flag[@]}" "$@" -- *) >"$dir/out" 2>"$dir/err"
            echo "exit $?" >>"$dir/out"
            cat "$dir/err" >>"$dir/out"
            sed "s|$folder|FOLDER|g" "$dir/out" >"$dir/$name-$jobs.out$round"
        done
    done
    for jobs in default 3; do
        if ! diff -r "$dir/$name-1" "$dir/$name-$jobs" >"$dir/diff"; then
            echo "FAILED: $name: the files differ with --jobs $jobs"
            head -n 5 "$dir/diff"
            failures=$((failures + 1))
        fi
        for round in 1 2; do
            if ! diff "$dir/$name-1.out$round" "$dir/$name-$jobs.out$round" >"$dir/diff"; then
                echo "FAILED: $name: run $round printed other outcomes or failures with --jobs $jobs"
                head -n 5 "$dir/diff"
                failures=$((failures + 1))
            fi
        done
        if ls -A "$dir/$name-$jobs" | grep -q '^\.~zembra'; then
            echo "FAILED: $name: a temporary file was left with --jobs $jobs"
            failures=$((failures + 1))
        fi
    done
    # Something must have been made, or the comparison proves nothing.
    if [ "$(ls "$dir/$name-1" | wc -l)" -le "$(ls "$dir/seed" | wc -l)" ] &&
        [ "$name" != original ] && [ "$name" != renamed ]; then
        echo "FAILED: $name: no picture was made"
        failures=$((failures + 1))
    fi
}

scenario half --action 6 --name Half --percent 50
scenario png --action 6 --name Png --percent 100 --convert png
scenario fit --action 4 --size 333x211 --keep-aspect
scenario stretch --action 4 --size 333x211 --no-keep-aspect --convert bmp
scenario enlarge --action 6 --name Big --size 1999x1501 --no-keep-aspect --quality 80
scenario original --action 3 --percent 73 --convert tif
scenario renamed --action 5 --name Pic --percent 31 --quality 60
scenario both --action 7 --name Both --size 1200x900 --convert jpg
scenario gif --action 6 --name Gif --percent 64 --convert gif --no-exif

if [ "$failures" -ne 0 ]; then
    echo "$failures failures"
    exit 1
fi
echo "all scenarios identical by default, with --jobs 1 and with --jobs 3"
