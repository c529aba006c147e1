# What the screen tests share; sourced after `mode` is set to --required, --quick or
# nothing. --quick skips the test outright; without --required a missing tool or a
# display that cannot start skips it (exit 77), with it they fail it.

if [ "$mode" = --quick ]; then
    echo "SKIP: the screen tests run in ./test.sh --full"
    exit 77
fi

skip() {
    if [ "$mode" = --required ]; then
        echo "FAIL: $*"
        exit 1
    fi
    echo "SKIP: $*"
    exit 77
}

need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
}

source "$(dirname "${BASH_SOURCE[0]}")/../../tools/xvfb.sh"

# Everything a screen test starts carries this run's mark in its environment
# (GRIMBOLT_SCREEN_RUN=mark), through `marked COMMAND...`. At its end the test stops
# every process that carries the mark, whichever user runs it: on success, on failure
# and when it is interrupted. GRIMBOLT_SCREEN_MARK chooses the mark from outside.
screen_mark=${GRIMBOLT_SCREEN_MARK:-grimbolt-screen-$$-$RANDOM$RANDOM}
marked() { env GRIMBOLT_SCREEN_RUN="$screen_mark" "$@"; }

# The processes that carry the mark, one pid a line.
marked_pids() {
    grep -lzx "GRIMBOLT_SCREEN_RUN=$screen_mark" /proc/[0-9]*/environ 2>/dev/null |
        cut -d/ -f3 || true
}

# Whether a process still runs: it exists and has not ended. A process on its way out
# may no longer show its environment, so the pids are watched, not the mark.
running() {
    local state
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# Stops them: TERM, then KILL for whatever still runs after 3 s; again for anything
# that started meanwhile.
stop_marked() {
    local pids alive p
    for _ in 1 2 3; do
        mapfile -t pids < <(marked_pids)
        [ ${#pids[@]} -gt 0 ] || break
        kill -TERM "${pids[@]}" 2>/dev/null || true
        for round in $(seq 60); do
            alive=()
            for p in "${pids[@]}"; do running "$p" && alive+=("$p"); done
            [ ${#alive[@]} -gt 0 ] || break
            [ "$round" != 30 ] || kill -KILL "${alive[@]}" 2>/dev/null || true
            sleep 0.1
        done
    done
    wait 2>/dev/null || true
}

# The end of a test, however it comes: nothing it started is left, and its work folder
# goes. An interruption ends the test through here too.
on_exit() {
    stop_marked
    [ -z "${work:-}" ] || rm -rf "$work"
}
trap on_exit EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# A 1920 x 1080 display for the test, carrying its mark.
start_test_xvfb() {
    start_xvfb 1920x1080 marked || skip "Xvfb did not start"
}
