#!/usr/bin/env bash
# The plan: --dry-run changes nothing and names every file the run then makes,
# with the sizes it makes them; a plan carried out in parts at once gives the
# files of one serial run; a plan carried out late skips what changed since.
# usage: plan_test.sh ZEMBRA-BATCH
set -u
batch=$(realpath "$1")
samples=$(cd "$(dirname "$0")/../../data/samples" && pwd)
. "$(dirname "$0")/check.sh"

# Dated and undated JPEGs, names that differ only in case, a GIF, a PNG, a file
# that is no picture, a name the naming will want (the dash rule), a missing one.
mixed() {
    mkdir -p "$1"
    cp "$samples/harbour.jpg" "$1/a.jpg"
    cp "$samples/meadow.jpg" "$1/A.jpg"
    cp "$samples/harbour.jpg" "$1/b.jpg"
    cp "$samples/market.gif" "$1/m.gif"
    cp "$samples/sunset.png" "$1/s.png"
    echo notes >"$1/notes.txt"
    cp "$samples/market.gif" "$1/Trip-001.gif"
    cp "$samples/market.gif" "$1/(R)m.gif"
    if command -v convert >/dev/null; then convert "$samples/harbour.jpg" -strip "$1/undated.jpg"; fi
}
listed() { (cd "$1" && ls | grep -v -e '^Trip-001.gif$' -e '^(R)m.gif$' -e '^run\.' -e '^plan\.'; echo missing.jpg); }
state() { (cd "$1" && find . -printf '%p %s %T@ %m\n' | sort && find . -type f -exec sha256sum {} + | sort); }
files() { (cd "$1" && find . -type f ! -name 'run.*' ! -name 'plan.*' -exec sha256sum {} + | sort); }
column_of() { tail -n +2 "$1" | cut -f"$2" | grep -v '^$'; }
made_or_unasked() { for f in "$@"; do [ -z "$f" ] || [ -f "$f" ] || return 1; done; }

for action in 1 2 3 4 5 6 7; do
    flags=(--action "$action" --name Trip --date 2)
    [ "$action" -ge 3 ] && flags+=(--percent 50)
    d=serial$action
    mixed "$d"
    mapfile -t pictures < <(listed "$d")
    before=$(state "$d")
    plan=$dir/plan$action.tsv
    (cd "$d" && "$batch" "${flags[@]}" --dry-run "${pictures[@]}" >"$plan")
    check "action $action: --dry-run leaves the folder byte for byte" test "$before" = "$(state "$d")"
    check "action $action: --json gives a line per picture" test \
        "$(cd "$d" && "$batch" "${flags[@]}" --dry-run --json "${pictures[@]}" | grep -c '^{"index":')" \
        -eq "${#pictures[@]}"

    old=$(cd "$d" && ls)
    (cd "$d" && "$batch" "${flags[@]}" "${pictures[@]}" >run.out 2>run.err)
    made=$(cd "$d" && comm -13 <(echo "$old") <(ls) | grep -v '^run\.')
    planned=$( (column_of "$plan" 5; column_of "$plan" 6) | xargs -rd '\n' -n1 basename | sort -u)
    check "action $action: every file the run made is in the plan" \
        test -z "$(comm -23 <(echo "$made" | grep -v '^$' | sort) <(echo "$planned"))"
    while IFS=$'\037' read -r _ status source _ newname output width height _ original _; do
        [ "$status" = process ] || continue
        check "action $action: $(basename "$source") made what was planned" \
            made_or_unasked "$newname" "$output"
        if [ -n "$output" ] && command -v identify >/dev/null; then
            check "action $action: $(basename "$output") is ${width}x$height" \
                test "$(identify -format '%wx%h' "$output[0]")" = "${width}x$height"
        fi
        if [ "$original" != kept ] && [ "$output" != "$source" ]; then
            check "action $action: $(basename "$source") is no longer there" test ! -e "$source"
        fi
    done < <(tail -n +2 "$plan" | tr '\t' '\037')
    check "action $action: the plan's skips are the run's" test \
        "$(tail -n +2 "$plan" | awk -F'\t' '$2 == "skip"' | wc -l)" = \
        "$(grep -c -- ' --- skipped' "$d/run.out")"
    [ "$action" = 3 ] || check "action $action: the dash rule was planned" grep -q "name taken: dashes added" "$plan"
done

# Four parts of one plan at once give the files of one serial run, byte for byte.
for action in 5 6 7; do
    d=parts$action
    mixed "$d"
    mapfile -t pictures < <(listed "$d")
    for n in $(seq 1 12); do cp "$samples/meadow.jpg" "$d/x$n.jpg"; pictures+=("x$n.jpg"); done
    cp -a "$d" "one$action"
    flags=(--action "$action" --name Trip --date 2 --percent 50)
    (cd "one$action" && "$batch" "${flags[@]}" "${pictures[@]}" >run.out 2>&1)
    (cd "$d" && "$batch" "${flags[@]}" --plan plan.txt "${pictures[@]}" >/dev/null &&
        if command -v parallel >/dev/null; then
            parallel -j 4 "$batch" --apply plan.txt --shard {}/4 ::: 1 2 3 4 >run.out 2>&1
        else
            for k in 1 2 3 4; do "$batch" --apply plan.txt --shard "$k/4" & done >run.out 2>&1
            wait
        fi)
    check "action $action: 4 parts at once give the serial run's files" \
        test "$(files "$d")" = "$(files "one$action")"
done

# A plan carried out late: a changed source and a name taken since are skipped.
mixed late
(cd late && "$batch" --action 6 --name Late --percent 50 --plan plan.txt a.jpg b.jpg m.gif >/dev/null)
cp "$samples/meadow.jpg" late/b.jpg
touch late/Late-003.gif
(cd late && "$batch" --apply plan.txt >run.out 2>&1)
check "late plan: an unchanged picture is done" test -f late/Late-001.jpg
check "late plan: a changed source is skipped" grep -q "b.jpg --- skipped (changed since it was planned)" late/run.out
check "late plan: a name taken since is skipped" grep -q "m.gif --- skipped (.*Late-003.gif is taken now)" late/run.out
check "late plan: the run says some were skipped" test "$(tail -n 1 late/run.out)" = "1 of 3 processed - 2 skipped"
printf '# zembra-batch plan 1\n# flags\t--action\t6\t--dry-run\n' >late/bad.txt
check "a damaged plan is refused with exit 2" bash -c "cd late && '$batch' --apply bad.txt 2>/dev/null; test \$? -eq 2"
check "--apply takes no pictures" bash -c "cd late && '$batch' --apply plan.txt a.jpg 2>/dev/null; test \$? -eq 2"

echo "$passes passed, $fails failed"
[ "$fails" -eq 0 ]
