# Sourced by the zembra-batch scripts: a scratch folder to work in, and check().
dir=$(mktemp -d)
# Originals a run replaces go to a Trash of the test's own.
XDG_DATA_HOME=$(mktemp -d)
export XDG_DATA_HOME
# And their run journals, a state folder of its own.
export XDG_STATE_HOME="$XDG_DATA_HOME/state"
trap 'rm -rf "$dir" "$XDG_DATA_HOME"' EXIT
cd "$dir" || exit 1
fails=0
passes=0
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; fails=$((fails + 1)); fi
}
