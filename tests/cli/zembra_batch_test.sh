#!/usr/bin/env bash
# zembra-batch from the outside: files, printed report and exit status.
set -u
batch=$1
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
