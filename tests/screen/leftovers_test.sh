#!/usr/bin/env bash
# The screen tests leave nothing running, however they end: each one is run to an end
# of one kind (passed, failed, stopped by SIGTERM as a timeout or kill stops it, by
# SIGINT as Ctrl+C does) once its display and the game are up. Afterwards nothing that
# carries the run's mark may be left running: every display server, window manager,
# game and key tool a screen test starts carries it, and nothing else on the machine is
# judged (another program may start a game of its own meanwhile).
#
#   leftovers_test.sh GAME PROBE SHELL_TESTS [--required | --quick]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
game=$1
probe=$2
tests=$3
mode=${4:-}
source "$here/common.sh"
need sway wtype grim Xvfb openbox xdotool weston
work=$(mktemp -d)

# The processes the screen test under way started, one "pid name" a line: those that
# carry its mark and have not ended.
ours() {
    local pid
    for pid in $(marked_pids); do
        running "$pid" && echo "$pid $(cat "/proc/$pid/comm" 2>/dev/null)"
    done
    return 0
}

# The game of a run has started: a game that was not running before runs now.
game_runs() {
    comm -13 <(echo "$before") <(ours | sort -u) | grep -qE ' (grimbolt|shell_tests)$'
}

# end_with HOW NAME COMMAND...: runs a screen test and ends it HOW (passed, failed, TERM
# or INT), then fails when anything it started is still running.
end_with() {
    local how=$1 name=$2 pid status=0 left
    shift 2
    # The test under way marks what it starts with this mark, which this script's own
    # end stops too.
    screen_mark="leftovers-$$-$RANDOM$RANDOM"
    export GRIMBOLT_SCREEN_MARK=$screen_mark
    before=$(ours | sort -u)
    # A job of a script ignores SIGINT unless told otherwise; Ctrl+C reaches a test in
    # the foreground, which does not.
    env --default-signal=INT "$@" >"$work/$name.log" 2>&1 &
    pid=$!
    if [ "$how" = TERM ] || [ "$how" = INT ]; then
        for _ in $(seq 300); do
            game_runs && break
            sleep 0.1
        done
        game_runs || { tail "$work/$name.log"; echo "FAIL: $name: the game never ran"; exit 1; }
        sleep 1
        kill "-$how" "$pid"
    fi
    wait "$pid" || status=$?
    left=$(comm -13 <(echo "$before") <(ours | sort -u))
    if [ -n "$left" ]; then
        tail -25 "$work/$name.log"
        echo "FAIL: $name, ended by $how (exit $status), left running:"
        echo "$left"
        exit 1
    fi
    echo "ok $name, ended by $how (exit $status): nothing left running"
}

end_with TERM "sway screen test" "$here/screen_test.sh" sway "$game" "$probe" --required
end_with failed "X11 screen test" "$here/screen_test.sh" x11 "$game" /bin/false --required
end_with passed "window test" "$here/window_test.sh" "$tests" --required
end_with INT "window test" "$here/window_test.sh" "$tests" --required
echo "passed: no screen test leaves anything running"
