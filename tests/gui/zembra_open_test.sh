#!/bin/sh
# zembra-open turns a file manager's paths into the program's command-line text.
# usage: zembra_open_test.sh PATH/TO/zembra-open
set -eu
launcher=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$launcher" "$work/zembra-open"
# A stand-in for the program beside the launcher: prints each argument in brackets.
cat >"$work/zembra" <<'STUB'
#!/bin/sh
for arg in "$@"; do printf '[%s]' "$arg"; done
echo
STUB
chmod +x "$work/zembra-open" "$work/zembra"

failures=0
check() { # expected, then the launcher's arguments
    expected=$1
    shift
    actual=$(cd "$work" && ./zembra-open "$@" 2>/dev/null)
    if [ "$actual" != "$expected" ]; then
        echo "zembra-open $*: expected $expected, got $actual" >&2
        failures=$((failures + 1))
    fi
}

check '[--][||/a/b.jpg|/c/d.jpg]' /a/b.jpg /c/d.jpg
check "[--][||$work/x y.png]" "x y.png"
check "[--][||$work/e.gif]" ./e.gif
check '[--][||/ok.jpg]' '/bad|name.jpg' /ok.jpg
check '' '/only|bad.jpg'
check ''
[ "$failures" -eq 0 ]
