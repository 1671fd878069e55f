#!/usr/bin/env bash
# zembra-batch under real faults: a file-size limit (as a full disk), names at the
# file system's length limit, and SIGKILL in the middle of rewriting originals.
# No original may be lost or cut short, at most one temporary file may stay after
# a kill, and the next run must take it away.
# usage: faults_test.sh ZEMBRA-BATCH [KILLS]   (KILLS per action, default 6)
set -u
batch=$(realpath "$1")
kills=${2:-6}
samples=$(cd "$(dirname "$0")/../../data/samples" && pwd)
. "$(dirname "$0")/check.sh"
complete_jpeg() { test -s "$1" && test "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' \n')" = ffd9; }
temporaries() { find "$1" -maxdepth 1 -name '.~zembra-*' | wc -l; }

# Pictures to work on: a large one (about 1 MB) and the small samples.
mkdir pool
cp "$samples"/harbour.jpg "$samples"/meadow.jpg pool/
for q in 100 99 98; do # three large pictures with different bytes
    "$batch" --action 6 --name "big$q" --size 2400x1800 --no-keep-aspect --quality $q pool/meadow.jpg >/dev/null
done
mv pool/big100-001.jpg pool/big.jpg
mv pool/big99-001.jpg pool/big2.jpg
mv pool/big98-001.jpg pool/big3.jpg
cp pool/big.jpg pool/big1.jpg
[ -s pool/big1.jpg ] && [ -s pool/big3.jpg ] || { echo "FAILED: no large pictures to work on"; exit 1; }

# [1] A file-size limit: writes past it fail with EFBIG, as on a full disk.
mkdir limit
cp pool/big.jpg pool/harbour.jpg limit/
(
    ulimit -f 64 # KiB: the small picture fits, the large one does not
    "$batch" --action 3 --percent 100 --quality 90 limit/big.jpg limit/harbour.jpg >limit.out 2>limit.err
)
check "file-size limit: the large original is untouched" cmp -s limit/big.jpg pool/big.jpg
check "file-size limit: the run went on, the picture not written is skipped" test "$(tail -n 1 limit.out)" = "1 of 2 processed - 1 skipped"
check "file-size limit: the small picture was rewritten" complete_jpeg limit/harbour.jpg
check "file-size limit: it differs from the original" bash -c "! cmp -s limit/harbour.jpg pool/harbour.jpg"
check "file-size limit: the failure is reported" grep -q 'big.jpg' limit.err
check "file-size limit: no temporary file stays" test "$(temporaries limit)" -eq 0

# [2] Names at the length limit: the dash that would make a taken name unique
# makes it one byte too long, so that copy fails and nothing else does.
mkdir long
max=$(getconf NAME_MAX long)
base=$(printf 'n%.0s' $(seq 1 $((max - 8)))) # "<base>-001.jpg" is exactly NAME_MAX
cp pool/harbour.jpg long/a.jpg
cp pool/harbour.jpg long/b.jpg
echo taken >"long/$base-001.jpg"
"$batch" --action 2 --name "$base" long/a.jpg long/b.jpg >long.out 2>long.err
check "long name: the originals stay" cmp -s long/a.jpg pool/harbour.jpg
check "long name: the second original stays" cmp -s long/b.jpg pool/harbour.jpg
check "long name: the taken name keeps its file" test "$(cat "long/$base-001.jpg")" = taken
check "long name: the next picture got its copy" cmp -s "long/$base-002.jpg" pool/harbour.jpg
check "long name: the failed copy is reported" test -s long.err
check "long name: no temporary file stays" test "$(temporaries long)" -eq 0

# [3] SIGKILL at staggered moments in the middle of rewriting originals.
hits=0   # kills that left a temporary file
midrun=0 # kills after the first picture was done and before the last
for action in 3 7; do
    for attempt in $(seq 1 "$kills"); do
        work=kill-$action-$attempt
        mkdir "$work"
        for i in 1 2 3; do cp "pool/big$i.jpg" "$work/p$i.jpg"; done
        "$batch" --action "$action" --name New --percent 50 --quality 80 "$work"/p*.jpg >/dev/null 2>&1 &
        pid=$!
        # From 0.05 s to about 1.5 s: before, during and between pictures.
        sleep "$(awk -v a="$attempt" -v n="$kills" 'BEGIN { printf "%.2f", 0.05 + 1.45 * (a - 1) / (n > 1 ? n - 1 : 1) }')"
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        left=$(temporaries "$work")
        [ "$left" -gt 0 ] && hits=$((hits + 1))
        check "kill in action $action ($attempt): at most one temporary file" test "$left" -le 1
        for i in 1 2 3; do
            if [ "$action" = 3 ]; then
                # Each original is whole: the old picture or its complete replacement.
                check "kill in action 3 ($attempt): p$i.jpg whole" complete_jpeg "$work/p$i.jpg"
            else
                # The original's bytes are still there, under its own or its new name.
                found=no
                for f in "$work"/p?.jpg "$work"/New-00?.jpg; do
                    [ -f "$f" ] && cmp -s "$f" "pool/big$i.jpg" && found=yes
                done
                check "kill in action 7 ($attempt): p$i.jpg kept" test $found = yes
            fi
        done
        finished=0
        for i in 1 2 3; do cmp -s "$work/p$i.jpg" "pool/big$i.jpg" || finished=$((finished + 1)); done
        [ "$finished" -gt 0 ] && [ "$finished" -lt 3 ] && midrun=$((midrun + 1))
        # The next run over the folder takes the leftover away.
        cp pool/harbour.jpg "$work/x.jpg"
        "$batch" --action 2 --name Again "$work/x.jpg" >/dev/null 2>&1
        check "kill in action $action ($attempt): the next run removes the leftover" test "$(temporaries "$work")" -eq 0
    done
done

echo "faults: $passes checks passed, $fails failed; of $((2 * kills)) kills, $midrun came mid-run and $hits left a temporary file"
test $fails -eq 0
