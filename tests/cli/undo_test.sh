#!/usr/bin/env bash
# --undo takes a run back: after every action over a mixed folder the folder is
# as it was, names and bytes; a second undo does nothing; a run killed midway is
# taken back up to where it got; an output changed since the run stays.
# usage: undo_test.sh ZEMBRA-BATCH
set -u
batch=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
samples="$here/../../data/samples"
exif_samples="$here/../../../shared/exif-samples/files"
. "$here/check.sh"
umask 022

# Dated and undated JPEGs, a GIF, a PNG, and two names that differ only in case.
mixed() {
    mkdir -p "$1"
    cp "$samples"/* "$here/../../data/kvd1.jpg" "$1/"
    cp "$samples/harbour.jpg" "$1/a.jpg"
    cp "$samples/meadow.jpg" "$1/A.jpg"
    if [ -d "$exif_samples" ]; then
        cp "$exif_samples/es__jpg__Canon_40D.jpg" "$exif_samples/es__jpg__Kodak_CX7530.jpg" "$1/"
    fi
}
# Names, sizes and modes, then the bytes, of everything in a folder.
state() {
    (cd "$1" && find . -printf '%P %y %s %m\n' | sort && find . -type f -print0 | sort -z | xargs -0r sha256sum)
}
journals() { find "$XDG_STATE_HOME/zembra" -name '*.journal' 2>/dev/null | wc -l; }

# [1] Every action, with names that change and pictures that are resized.
for action in 1 2 3 4 5 6 7; do
    work=action$action
    mixed "$work"
    before=$(state "$work")
    (cd "$work" && "$batch" --action $action --name trip --date 2 --percent 50 -- * >/dev/null 2>&1)
    check "action $action changed the folder" test "$(state "$work")" != "$before"
    "$batch" --undo >"undo$action.out" 2>"undo$action.err"
    status=$?
    check "action $action: undo exits 0" test $status -eq 0
    check "action $action: undo leaves the folder as before" test "$(state "$work")" = "$before"
    check "action $action: undo says what it took back" grep -q '^undone: ' "undo$action.out"
    "$batch" --undo >again.out 2>&1
    status=$?
    check "action $action: a second undo does nothing" \
        test $status -eq 0 -a "$(cat again.out)" = "nothing to undo" -a "$(state "$work")" = "$before"
    # An undo killed before it could mark its steps: the next one finds them
    # taken back already.
    sed -i '/^undone /d' "$(find "$XDG_STATE_HOME/zembra" -name '*.journal' | sort | tail -n 1)"
    "$batch" --undo >/dev/null 2>&1
    status=$?
    check "action $action: an undo that lost its marks finds the steps taken back" \
        test $status -eq 0 -a "$(state "$work")" = "$before"
done
check "each run kept one journal" test "$(journals)" -eq 7

# [2] A run that changes nothing leaves no journal.
mkdir none
(cd none && "$batch" --action 1 --name x missing.jpg >/dev/null 2>&1)
check "a run that changed nothing kept no journal" test "$(journals)" -eq 7

# [3] A run killed midway, taken back up to where it got.
mkdir pool killed
cp "$samples/meadow.jpg" pool/
"$batch" --action 6 --name big --size 2400x1800 --no-keep-aspect pool/meadow.jpg >/dev/null
for i in $(seq 1 20); do cp pool/big-001.jpg "killed/p$i.jpg"; done
before=$(state killed)
(cd killed && exec "$batch" --action 5 --jobs 1 --name shot --percent 50 -- p*.jpg >/dev/null 2>&1) &
pid=$!
for _ in $(seq 1 2000); do
    compgen -G 'killed/shot*' >/dev/null && break
    sleep 0.005
done
kill -STOP $pid
"$batch" --undo >/dev/null 2>going.err
status=$?
check "a run still going is not taken back" test $status -eq 1 -a "$(state killed)" != "$before"
check "... and undo says so" grep -q 'its run is still going' going.err
kill -KILL $pid 2>/dev/null
{ wait $pid; } 2>/dev/null
done_before_kill=$(find killed -name 'shot*' | wc -l)
"$batch" --undo >killed.out 2>killed.err
status=$?
check "killed run: undo exits 0" test $status -eq 0
check "killed run: the folder is as before, temporary files gone" test "$(state killed)" = "$before"
echo "killed run: $done_before_kill of 20 outputs were there at the kill"

# [4] A run killed between each change and the line that says it was done: the
# journal holds only what it was about to do, and the files tell what happened.
for action in 3 5 7; do
    work=intent$action
    mixed "$work"
    before=$(state "$work")
    (cd "$work" && "$batch" --action $action --name trip --date 2 --percent 50 -- * >/dev/null 2>&1)
    journal=$(find "$XDG_STATE_HOME/zembra" -name '*.journal' | sort | tail -n 1)
    sed -i '/^ok /d' "$journal"
    "$batch" --undo >/dev/null 2>&1
    check "action $action, no line saying a step was done: undo restores the folder" \
        test "$(state "$work")" = "$before"
done

# [5] An output changed since the run is left alone and reported.
mixed changed
before=$(state changed)
(cd changed && "$batch" --action 6 --name copy --percent 50 -- * >/dev/null 2>&1)
echo more >>changed/copy-001.jpg
kept=$(sha256sum <changed/copy-001.jpg)
"$batch" --undo >changed.out 2>changed.err
status=$?
check "changed output: undo exits 1" test $status -eq 1
check "changed output: reported on stderr" grep -q 'copy-001.jpg: changed since the run' changed.err
check "changed output: it stays as it is" test "$(sha256sum <changed/copy-001.jpg)" = "$kept"
check "changed output: the other outputs are gone" test "$(find changed -name 'copy-*' | wc -l)" -eq 1

# [6] Flags and journals it cannot use.
"$batch" --undo --action 1 >/dev/null 2>&1
check "--undo with an action is refused" test $? -eq 2
"$batch" --undo a.jpg b.jpg >/dev/null 2>&1
check "--undo with pictures is refused" test $? -eq 2
printf 'not a journal\n' >bad.journal
"$batch" --undo bad.journal >/dev/null 2>&1
check "a journal it cannot read exits 2" test $? -eq 2

echo "undo: $passes checks passed, $fails failed"
[ "$fails" -eq 0 ]
