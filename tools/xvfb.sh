# start_xvfb WIDTHxHEIGHT [WRAPPER...]: an X display of that size, on a display number
# that Xvfb finds free itself, run under WRAPPER when one is given (env VAR=value, say).
# Returns once the display takes clients, with its name in xvfb_display (:N) and its
# process in xvfb_pid; returns 1 when it has not started within 10 s. Sourced by the
# scripts that play the game on a virtual display.
start_xvfb() {
    local size=$1 ready
    shift
    ready=$(mktemp)
    "$@" Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do
        # Xvfb writes its display's number and a newline once it takes clients.
        if [ "$(wc -l <"$ready")" -ge 1 ]; then
            xvfb_display=:$(head -1 "$ready")
            rm -f "$ready"
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    rm -f "$ready"
    return 1
}
