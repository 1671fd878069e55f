# bash completion for zembra-batch
_zembra_batch() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    local pictures='@(jpg|JPG|jpeg|JPEG|gif|GIF|png|PNG|bmp|BMP|tif|TIF|tiff|TIFF|webp|WEBP|heic|HEIC|heif|HEIF|avif|AVIF)'
    case $prev in
    --action) COMPREPLY=($(compgen -W "1 2 3 4 5 6 7" -- "$cur")); return ;;
    --date) COMPREPLY=($(compgen -W "0 1 2 3 4 5 6 7 8" -- "$cur")); return ;;
    --transparency) COMPREPLY=($(compgen -W "0 1 2 3" -- "$cur")); return ;;
    --convert) COMPREPLY=($(compgen -W "none jpg gif bmp tif png webp avif" -- "$cur")); return ;;
    --align) COMPREPLY=($(compgen -W "corner top center bottom" -- "$cur")); return ;;
    --watermark) _filedir "$pictures"; return ;;
    --plan | --apply) _filedir; return ;;
    --name | --percent | --size | --quality | --jobs | --shard) return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "--action --name --date --time --percent --size --keep-aspect
            --no-keep-aspect --quality --convert --exif --no-exif --upright --watermark --align --stretch
            --transparency --jobs --dry-run --json --plan --apply --shard --settings --quiet --help
            --version" -- "$cur"))
        return
    fi
    _filedir "$pictures"
}
complete -F _zembra_batch zembra-batch
