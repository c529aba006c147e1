#!/usr/bin/env bash
# The main window maximized, restored and maximized again, and full screen and back, as
# a real window; the English status panel and shop in a real screenshot; and the keys
# window driven by a pad, in both languages: on X11
# with no window manager, on X11 under openbox, and on Wayland under weston (headless,
# with its panel and window decorations).
#
#   window_test.sh SHELL_TESTS [--required | --quick]
#
# Without --required a missing tool or a display that cannot start skips the test
# (exit 77); with it, they fail it. --quick skips it outright.
set -euo pipefail
tests=$1
mode=${2:-}
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
need Xvfb openbox weston xdotool

work=$(mktemp -d)
filter=--gtest_filter=Mainfrm.RestoredItTakesTheLayoutsGeometryAndMaximizesAgain:Mainfrm.F11*:English.TheStatusPanelAndTheShopOnScreen:KeysDialog.APadDrivesTheWindowOnScreen

on_x11() {
    local wm=$1 display
    start_test_xvfb
    display=$xvfb_display
    if [ "$wm" = openbox ]; then
        DISPLAY=$display marked openbox >/dev/null 2>&1 &
        sleep 1
    fi
    echo "== X11, $wm"
    DISPLAY=$display QT_QPA_PLATFORM=xcb marked "$tests" "$filter" || exit 1
    stop_marked
}

on_weston() {
    mkdir -m 700 "$work/run"
    XDG_RUNTIME_DIR="$work/run" marked weston --backend=headless-backend.so --use-pixman \
        --width=1920 --height=1080 --socket=wayland-grimbolt >"$work/weston.log" 2>&1 &
    for _ in $(seq 100); do
        [ -S "$work/run/wayland-grimbolt" ] && break
        sleep 0.1
    done
    [ -S "$work/run/wayland-grimbolt" ] || { tail -5 "$work/weston.log"; skip "weston did not start"; }
    sleep 1  # its panel is up
    echo "== Wayland, weston"
    XDG_RUNTIME_DIR="$work/run" WAYLAND_DISPLAY=wayland-grimbolt QT_QPA_PLATFORM=wayland \
        marked "$tests" "$filter" || exit 1
    stop_marked
}

on_x11 "no window manager"
on_x11 openbox
on_weston
echo "passed: restored, maximized and full screen on X11 with and without a window manager, and on weston"
