#!/usr/bin/env bash
# zembra-batch from the outside: files, printed report and exit status.
set -u
batch=$(realpath "$1")
samples=$(cd "$(dirname "$0")/../../data/samples" && pwd)
. "$(dirname "$0")/check.sh"

touch a.jpg b.jpg c.jpg
out=$("$batch" --action 1 --name Holiday a.jpg b.jpg c.jpg); status=$?
check "rename exits 0" test $status -eq 0
check "rename prints the status line" test "$(echo "$out" | tail -n 1)" = "3 of 3 processed - 0 skipped"
check "rename names the files" test "$(ls | tr '\n' ' ')" = "Holiday-001.jpg Holiday-002.jpg Holiday-003.jpg "

touch d.jpg
"$batch" --action 1 --name Holiday d.jpg >/dev/null
check "a taken name gets a dash" test -f Holiday-001-.jpg

err=$("$batch" --action 2 --name 'a:b' Holiday-001.jpg 2>&1 >/dev/null); status=$?
check "forbidden characters exit 2" test $status -eq 2
check "forbidden characters message" test "$(echo "$err" | head -n 1)" = "Following characters are not allowed: "
err=$("$batch" Holiday-001.jpg 2>&1); status=$?
check "no action exits 2" test $status -eq 2 -a "$err" = "No Action Selected!"
"$batch" --action 2 --name X missing.jpg >/dev/null; status=$?
check "a missing picture exits 1" test $status -eq 1
"$batch" --bogus >/dev/null 2>&1; status=$?
check "an unknown flag exits 2" test $status -eq 2
"$batch" --help | grep -q -- '--action N'
check "--help shows the flags" test $? -eq 0
err=$("$batch" 2>&1 >/dev/null); status=$?
check "alone it prints the usage with exit 2" test $status -eq 2 -a "$(echo "$err" | head -n 1)" = \
    "usage: zembra-batch --action N [options] PICTURE..."
check "--version prints the version" test "$("$batch" --version)" = "zembra-batch 2.4.0"
err=$("$batch" --action 2 --name X --convert png --convert x c.jpg 2>&1 >/dev/null); status=$?
check "a second --convert with a bad value exits 2" test $status -eq 2
check "it says why" test "$(echo "$err" | head -n 1)" = "zembra-batch: --convert takes none, jpg, gif, bmp, tif, png, webp or avif"
"$batch" --action 2 --name c.jpg d.jpg >/dev/null 2>&1; status=$?
check "a missing --name does not take a picture as the name" test $status -eq 2 -a ! -e c.jpg-001.jpg
err=$("$batch" --action 6 --name Big --size 30000x30000 --no-keep-aspect c.jpg 2>&1 >/dev/null); status=$?
check "a size past the limit is refused before any work" test $status -eq 2 -a ! -e Big-001.jpg
check "it says why" test "$(echo "$err" | head -n 1)" = \
    "zembra-batch: --size 30000x30000 asks for 900000000 pixels; a picture may have at most 268435456"

# A very tall, thin size on a small picture ends (done or refused), and it never
# leaves a temporary file. The row-by-row encoders get a tenth of the height: under
# the sanitizers a million GIF rows take a minute, and the path is the same.
cp "$samples/harbour.jpg" thin.jpg
for convert in none png bmp gif; do
    height=$([ $convert = none ] && echo 999999 || echo 99999)
    "$batch" --action 6 --name "Thin$convert" --size 7x$height --no-keep-aspect --convert $convert \
        thin.jpg >/dev/null 2>&1
    status=$?
    check "--size 7x$height to $convert ends with a status" test $status -le 1
    check "--size 7x$height to $convert leaves no temporary file" test -z "$(ls -A | grep '^\.~zembra')"
done

# With the aspect ratio kept, --size 200000x1 makes a 320x240 picture 200000x150000:
# that picture is refused with the reason, before any row is made.
err=$("$batch" --action 6 --name Wide --size 200000x1 --convert png thin.jpg 2>&1 >/dev/null); status=$?
check "an output past the limit fails that picture" test $status -eq 1 -a ! -e Wide-001.PNG
check "it says why" test "$err" = \
    "$PWD/Wide-001.PNG: Value Overflow: the output would be 200000 x 150000 pixels; a picture may have at most 268435456"

# Why each picture was passed by.
mkdir folder && echo text >notes.txt
out=$("$batch" --action 2 --name Why gone.jpg folder notes.txt)
check "skipped pictures say why" test "$out" = "gone.jpg --- skipped (not found)
folder --- skipped (is a folder)
notes.txt --- skipped (not a picture)
0 of 3 processed - 3 skipped"
out=$("$batch" --quiet --action 2 --name Quiet thin.jpg gone.jpg)
check "--quiet keeps the skipped picture and the summary" test "$out" = "gone.jpg --- skipped (not found)
1 of 2 processed - 1 skipped"
err=$("$batch" --action 4 --size 80x60 --percent 50 c.jpg 2>&1 >/dev/null); status=$?
check "--size with --percent exits 2" test $status -eq 2
check "--size with --percent says why" test "$(echo "$err" | head -n 1)" = \
    "zembra-batch: --size and --percent cannot be used together; give one of them"

# Two names that differ only in case are two pictures.
mkdir cases && touch cases/a.jpg cases/A.JPG
out=$(cd cases && "$batch" --action 2 --name N a.jpg A.JPG)
check "a.jpg and A.JPG are both processed" test "$(echo "$out" | grep -c -- '--- finished')" -eq 2
check "a.jpg and A.JPG are both copied" test -f cases/N-001.jpg -a -f cases/N-002.JPG

echo "$passes passed, $fails failed"
test $fails -eq 0
