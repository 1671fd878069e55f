#!/usr/bin/env bash
# zembra-batch sharing its folders: with another run, with a hostile neighbour,
# with the user's own files. Nothing may be lost, replaced or exposed.
# usage: safe_files_test.sh ZEMBRA-BATCH
set -u
batch=$(realpath "$1")
samples=$(cd "$(dirname "$0")/../../data/samples" && pwd)
. "$(dirname "$0")/check.sh"
chmod 755 "$dir"
pictures() { # folder, first, last: pictures p<first>.jpg to p<last>.jpg
    local names=()
    for i in $(seq "$2" "$3"); do names+=("$1/p$i.jpg"); done
    tee "${names[@]}" <"$samples/harbour.jpg" >/dev/null
}
regular() { find "$1" -maxdepth 1 -type f -name "$2" | wc -l; }
has_exif() { head -c 64 "$1" | grep -q Exif; }
mode() { stat -c %a "$1"; }

# [1] Two runs over different pictures in one folder with the same base name.
for action in 5 6; do
    mkdir "two$action"
    pictures "two$action" 1 400
    (cd "two$action" && "$batch" --action $action --name shot --percent 50 $(seq -f 'p%g.jpg' 1 200) >a.out 2>&1) &
    (cd "two$action" && "$batch" --action $action --name shot --percent 50 $(seq -f 'p%g.jpg' 201 400) >b.out 2>&1)
    wait
    check "two runs of action $action: 400 resized pictures" test "$(regular "two$action" 'shot*.jpg')" -eq 400
    originals=$([ $action = 6 ] && echo 400 || echo 0)
    check "two runs of action $action: $originals originals" test "$(regular "two$action" 'p*.jpg')" -eq "$originals"
    check "two runs of action $action: both finished every picture" \
        test "$(tail -qn 1 "two$action/a.out" "two$action/b.out" | sort -u)" = "200 of 200 processed - 0 skipped"
done
check "action 5: every replaced original is in the Trash" \
    test "$(find "$XDG_DATA_HOME/Trash/files" -name 'p*.jpg' | wc -l)" -eq 400

# [2] No file is opened to be created unless it is created new.
if command -v strace >/dev/null; then
    mkdir traced
    for action in 2 3 4 5 6 7; do
        cp "$samples/harbour.jpg" "traced/s$action.jpg"
        # The leak checker of a sanitizer build cannot run under ptrace.
        (cd traced && ASAN_OPTIONS=detect_leaks=0 strace -f -e trace=openat -o "trace$action" \
            "$batch" --action $action --name n$action s$action.jpg >/dev/null)
    done
    check "every file created is created new (O_EXCL)" \
        test "$(grep -h O_CREAT traced/trace* | grep -vc O_EXCL)" -eq 0
    check "the trace saw files being created" test "$(grep -h O_CREAT traced/trace* | grep -c O_EXCL)" -gt 0
else
    echo "skipped: no strace"
fi

# [3] Permissions of new and replaced files.
mkdir perms
cp "$samples/harbour.jpg" perms/setid.jpg
chmod 6755 perms/setid.jpg
(cd perms && umask 077 && "$batch" --action 2 --name copy setid.jpg >/dev/null)
check "a 6755 picture copied under umask 077 gives 600" test "$(mode perms/copy-001.jpg)" = 600
cp "$samples/harbour.jpg" perms/private.jpg
chmod 600 perms/private.jpg
(cd perms && umask 022 && "$batch" --action 6 --name small --percent 50 private.jpg >/dev/null)
check "a resized copy of a 0600 picture is 600" test "$(mode perms/small-001.jpg)" = 600
cp "$samples/harbour.jpg" perms/keep.jpg
chmod 600 perms/keep.jpg
(cd perms && "$batch" --action 3 --percent 50 keep.jpg >/dev/null)
check "a replaced 0600 original stays 600" test "$(mode perms/keep.jpg)" = 600
check "the replaced original was rewritten" bash -c "! cmp -s perms/keep.jpg $samples/harbour.jpg"
check "the Trash holds its old bytes" cmp -s "$XDG_DATA_HOME/Trash/files/keep.jpg" "$samples/harbour.jpg"
check "its .trashinfo names its path" \
    grep -qx "Path=$(realpath perms)/keep.jpg" "$XDG_DATA_HOME/Trash/info/keep.jpg.trashinfo"

# [4] The user's own files beside a picture.
mkdir own
cp "$samples/harbour.jpg" own/photo.jpg
cp own/photo.jpg own/photo.jpgexif.jpg # even a byte-for-byte copy is the user's
cp "$samples/meadow.jpg" own/photo.jpgexif.JPG
(cd own && "$batch" --action 4 --exif photo.jpg >/dev/null)
check "photo.jpgexif.jpg survives the EXIF step" cmp -s own/photo.jpgexif.jpg own/photo.jpg
check "photo.jpgexif.JPG survives the EXIF step" cmp -s own/photo.jpgexif.JPG "$samples/meadow.jpg"
check "the copy kept the EXIF block" has_exif "own/(R)photo.jpg"

# A picture that loses depth in its output says so, and still counts processed.
cp "$samples/sunset.png" own/deep.png
(cd own && "$batch" --action 4 --percent 50 deep.png >deep.out 2>deep.err); status=$?
check "a 16-bit picture's line says its output leaves out the depth" \
    grep -q '^deep.png --- finished (the output leaves out .*16-bit depth' own/deep.out
check "a 16-bit picture still counts processed" test $status -eq 0

# [5] A name at the length limit keeps its EXIF block.
max=$(getconf NAME_MAX own)
long=$(printf 'l%.0s' $(seq 1 $((max - 6)))).jpg
cp "$samples/harbour.jpg" "own/$long"
(cd own && "$batch" --action 3 --percent 50 --exif "$long" >long.out 2>&1); status=$?
check "a ${#long}-byte name is processed" test $status -eq 0
check "a ${#long}-byte name keeps its EXIF block" has_exif "own/$long"

# [6] An EXIF block whose length field is 0 cannot be copied: it is left out and
# the picture still decodes; the run says so and counts it skipped.
mkdir broken
cp "$samples/harbour.jpg" broken/source.jpg
(cd broken && "$batch" --action 6 --name plain --no-exif source.jpg >/dev/null)
{ head -c 2 broken/plain-001.jpg; printf '\xff\xe1\x00\x00'; tail -c +3 broken/plain-001.jpg; } >broken/zero.jpg
cp broken/zero.jpg broken/zero.orig
(cd broken && "$batch" --action 3 --percent 50 --exif zero.jpg >zero.out 2>zero.err); status=$?
if cmp -s broken/zero.jpg broken/zero.orig; then
    check "zero-length APP1: the original stays byte for byte" true
else
    (cd broken && "$batch" --action 6 --name decoded --no-exif zero.jpg >/dev/null 2>&1)
    check "zero-length APP1: its replacement decodes" test -s broken/decoded-001.jpg
fi
check "zero-length APP1: the run says the block was left out" grep -q 'EXIF' broken/zero.err
check "zero-length APP1: exit 1" test $status -eq 1
# A picture that does not decode is reported and its file left byte for byte.
head -c 200 broken/plain-001.jpg >broken/cut.jpg
printf 'not a picture' >>broken/cut.jpg
cp broken/cut.jpg broken/cut.orig
(cd broken && "$batch" --action 3 --percent 50 --exif cut.jpg >/dev/null 2>&1); status=$?
check "undecodable picture: its file is untouched" cmp -s broken/cut.jpg broken/cut.orig
check "undecodable picture: exit 1" test $status -eq 1

# [7] A neighbour plants symlinks at the names a run is about to take.
mkdir -p shared outside/bait
chmod 1777 shared
echo secret >outside/victim
for n in $(seq -w 1 60); do ln -s ../victim "outside/bait/shot-0$n.jpg"; done
pictures shared 1 60
(
    # Each round plants every name not yet taken, as fast as one process can.
    for round in $(seq 1 2000); do ln -s "$dir"/outside/bait/* shared/ 2>/dev/null; done
) &
planter=$!
(cd shared && "$batch" --action 6 --name shot --percent 50 $(seq -f 'p%g.jpg' 1 60) >planted.out 2>&1)
kill "$planter" 2>/dev/null
wait "$planter" 2>/dev/null
check "planted symlinks: the victim is untouched" test "$(cat outside/victim)" = secret
check "planted symlinks: every picture got its own copy" test "$(regular shared 'shot*.jpg')" -eq 60
check "planted symlinks: the originals stay" test "$(regular shared 'p*.jpg')" -eq 60

# [8] As an ordinary user: write-protected originals and read-only folders.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
    as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
    mkdir guarded readonly
    cp "$samples/harbour.jpg" guarded/locked.jpg
    cp "$samples/harbour.jpg" readonly/a.jpg
    chmod 444 guarded/locked.jpg
    chown -R nobody:nogroup guarded readonly
    chmod 555 readonly
    chmod 755 "$dir"
    (cd guarded && as_nobody env XDG_DATA_HOME="$dir/guarded/.data" "$batch" --action 3 --percent 50 locked.jpg >out 2>err); status=$?
    check "write-protected: left byte for byte" cmp -s guarded/locked.jpg "$samples/harbour.jpg"
    check "write-protected: skipped, with the reason" grep -q 'write-protected' guarded/err
    check "write-protected: exit 1" test $status -eq 1
    (cd readonly && as_nobody env XDG_DATA_HOME="$dir/guarded/.data" "$batch" --action 3 --percent 50 a.jpg >"$dir/ro.out" 2>/dev/null); status=$?
    check "read-only folder: the picture stays" cmp -s readonly/a.jpg "$samples/harbour.jpg"
    check "read-only folder: counted skipped, exit 1" \
        test $status -eq 1 -a "$(tail -n 1 "$dir/ro.out")" = "0 of 1 processed - 1 skipped"
else
    echo "skipped: cannot run as nobody"
fi

echo "$passes passed, $fails failed"
[ "$fails" -eq 0 ]
