#!/usr/bin/env bash
# zembra-batch as it goes and when it is stopped: each picture's line comes through
# a pipe as the picture ends; Ctrl-C stops after the pictures in hand, a second
# Ctrl-C or SIGTERM stops a long resize within it; every stop prints the summary,
# exits 128 + the signal, leaves no temporary file and every original whole.
# usage: stop_test.sh ZEMBRA-BATCH
set -u
batch=$(realpath "$1")
samples=$(cd "$(dirname "$0")/../../data/samples" && pwd)
. "$(dirname "$0")/check.sh"
complete_jpeg() { test -s "$1" && test "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' \n')" = ffd9; }
temporaries() { find "$1" -maxdepth 1 -name '.~zembra-*' -o -maxdepth 1 -name '*exif.jpg' | wc -l; }
size_of() { # a JPEG's width x height, from its frame header
    python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
i = 2
while i + 9 < len(data):
    marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
    if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
        h, w = struct.unpack(">HH", data[i + 5:i + 9])
        print(f"{w}x{h}")
        break
    i += 2 + length
PY
}

# Sixteen photographs of 2400x1800, each with other bytes.
mkdir pool work
cp "$samples/meadow.jpg" pool/
for q in $(seq 70 85); do
    "$batch" --jobs 1 --action 6 --name "q$q" --size 2400x1800 --no-keep-aspect --quality $q \
        pool/meadow.jpg >/dev/null
done
rm pool/meadow.jpg
[ "$(ls pool | wc -l)" -eq 16 ] || { echo "FAILED: no photographs to work on"; exit 1; }
cp pool/* work/

# [1] Through a pipe, action 3: the first line is read while the run still works
# (it must have been flushed as its picture ended); Ctrl-C then stops the run.
mkfifo lines
"$batch" --action 3 --percent 50 work/*.jpg >lines 2>run.err &
pid=$!
exec 3<lines
read -r first <&3
alive=no
kill -0 "$pid" 2>/dev/null && alive=yes
kill -INT "$pid"
cat <&3 >rest.out
exec 3<&-
wait "$pid"
status=$?
check "pipe: the first picture's line is a finished line" bash -c "[[ '$first' == *' --- finished' ]]"
check "pipe: it arrives while the run still works" test $alive = yes
check "Ctrl-C: exit status 130" test $status -eq 130
summary=$(tail -n 1 rest.out)
check "Ctrl-C: the summary line is printed" bash -c "[[ '$summary' =~ ^[0-9]+' of 16 processed - 0 skipped'$ ]]"
done=${summary%% *}
check "Ctrl-C: the run stopped before the end" test "$done" -lt 16
check "Ctrl-C: it says what was left" grep -q "stopped; $((16 - done)) pictures were not processed" run.err
check "Ctrl-C: no temporary file" test "$(temporaries work)" -eq 0
halved=0
untouched=0
for f in pool/*.jpg; do
    name=$(basename "$f")
    if cmp -s "$f" "work/$name"; then
        untouched=$((untouched + 1))
    elif complete_jpeg "work/$name" && [ "$(size_of "work/$name")" = 1200x900 ]; then
        halved=$((halved + 1))
    fi
done
check "Ctrl-C: every original is whole, untouched or replaced" test $((halved + untouched)) -eq 16
check "Ctrl-C: as many replaced as the summary counts" test $halved -eq "$done"

# [2] One huge resize (a small picture made 16000x16000, a PNG that takes many
# seconds): stopped within the row loop by a second Ctrl-C, or by SIGTERM.
stop_huge() { # signals...
    rm -rf huge && mkdir huge
    cp "$samples/harbour.jpg" huge/a.jpg
    "$batch" --action 3 --convert png --size 16000x16000 --no-keep-aspect huge/a.jpg \
        >huge.out 2>huge.err &
    local pid=$!
    sleep 1
    for sig in "$@"; do
        kill "-$sig" "$pid"
        sleep 0.2
    done
    wait "$pid"
}
for signals in "INT INT" "TERM"; do
    stop_huge $signals
    status=$?
    expected=$([ "$signals" = TERM ] && echo 143 || echo 130)
    check "huge resize, $signals: exit status $expected" test $status -eq "$expected"
    check "huge resize, $signals: the picture is reported stopped" grep -q 'a.jpg --- stopped' huge.out
    check "huge resize, $signals: the summary counts nothing done" \
        test "$(tail -n 1 huge.out)" = "0 of 1 processed - 0 skipped"
    check "huge resize, $signals: no temporary file and no output" test "$(ls -A huge)" = a.jpg
    check "huge resize, $signals: the original is untouched" cmp -s huge/a.jpg "$samples/harbour.jpg"
done

echo "stop: $passes checks passed, $fails failed"
test $fails -eq 0
