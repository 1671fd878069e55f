#!/usr/bin/env bash
# The install tree: cmake --install into a DESTDIR must give the manual pages, the
# shell completion, valid AppStream data, a valid desktop entry and the icons; the
# manual page and the completion must know every flag zembra-batch knows.
# usage: install_test.sh BUILD-DIR WITH-GUI(0|1)
set -u
build=$(realpath "$1")
gui=$2
. "$(dirname "$0")/check.sh"

DESTDIR="$dir/root" cmake --install "$build" --prefix /usr >install.log 2>&1
check "cmake --install succeeds" test $? -eq 0
usr=$dir/root/usr
batch=$usr/bin/zembra-batch

check "zembra-batch is installed" test -x "$batch"
check "zembra-batch(1) is installed" test -s "$usr/share/man/man1/zembra-batch.1"
check "bash completion" test -s "$usr/share/bash-completion/completions/zembra-batch"
check "zsh completion" test -s "$usr/share/zsh/vendor-completions/_zembra-batch"
check "fish completion" test -s "$usr/share/fish/vendor_completions.d/zembra-batch.fish"

# Every flag of the help is in the manual page and in each completion.
flags=$("$batch" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u)
check "the help lists flags" test "$(echo "$flags" | wc -l)" -ge 20
for flag in $flags; do
    man_flag=${flag//-/\\\\-}
    check "zembra-batch(1) describes $flag" grep -q -- "$man_flag" "$usr/share/man/man1/zembra-batch.1"
    check "zsh completes $flag" grep -q -- "$flag\[" "$usr/share/zsh/vendor-completions/_zembra-batch"
    check "fish completes $flag" grep -q -- "-l ${flag#--} " "$usr/share/fish/vendor_completions.d/zembra-batch.fish"
done
# The bash completion offers every flag and the values a flag takes.
complete_words() { # words of the command line; the last is the one completed
    bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _zembra_batch; echo "${COMPREPLY[*]}"' \
        - "$usr/share/bash-completion/completions/zembra-batch" "$@"
}
offered=$(complete_words zembra-batch --)
for flag in $flags; do
    check "bash completes $flag" bash -c "[[ ' $offered ' == *' $flag '* ]]"
done
check "bash completes --convert's values" test "$(complete_words zembra-batch --convert '')" = \
    "none jpg gif bmp tif png webp avif"
check "the page names the version" grep -q "Zembra $("$batch" --version | cut -d' ' -f2)" \
    "$usr/share/man/man1/zembra-batch.1"
if command -v groff >/dev/null; then
    check "zembra-batch(1) formats without warnings" test -z "$(groff -man -t -ww -z "$usr/share/man/man1/zembra-batch.1" 2>&1)"
fi

if [ "$gui" = 1 ]; then
    check "zembra(1) is installed" test -s "$usr/share/man/man1/zembra.1"
    for size in 16 24 32 48 64 128 256; do
        check "the ${size}x$size icon" test -s "$usr/share/icons/hicolor/${size}x$size/apps/zembra.png"
    done
    check "the scalable icon" test -s "$usr/share/icons/hicolor/scalable/apps/zembra.svg"
    desktop=$usr/share/applications/zembra.desktop
    check "the desktop entry is installed" test -s "$desktop"
    metainfo=$(ls "$usr"/share/metainfo/*.metainfo.xml 2>/dev/null)
    check "one metainfo file" test "$(echo "$metainfo" | wc -w)" -eq 1
    check "it names the desktop entry" grep -q '<launchable type="desktop-id">zembra.desktop<' "$metainfo"
    if command -v desktop-file-validate >/dev/null; then
        check "desktop-file-validate accepts the entry" desktop-file-validate "$desktop"
    else
        echo "skipped: desktop-file-validate is not installed"
    fi
    if command -v appstreamcli >/dev/null; then
        check "appstreamcli validate accepts the metainfo" appstreamcli validate --no-net "$metainfo"
    else
        echo "skipped: appstreamcli is not installed"
    fi
fi

echo "install: $passes checks passed, $fails failed"
test $fails -eq 0
