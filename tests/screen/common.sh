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

# start_xvfb RUN...: a 1920 x 1080 X display no one else uses, its name in
# xvfb_display and its process in xvfb_pid, once it answers; RUN runs a command on it.
start_xvfb() {
    xvfb_display=:$((90 + RANDOM % 9))
    while [ -e "/tmp/.X11-unix/X${xvfb_display#:}" ]; do
        xvfb_display=:$((${xvfb_display#:} + 1))
    done
    Xvfb "$xvfb_display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        DISPLAY=$xvfb_display xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    skip "Xvfb did not start"
}
