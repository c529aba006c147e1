#!/usr/bin/env bash
# The real program on a real display server at 1920 x 1080, with real key events and
# screenshots, played twice: drawn 1:1, and scaled by Qt (QT_SCALE_FACTOR=1.25).
#
#   screen_test.sh sway|x11 GAME PROBE [--required | --quick]
#
# sway: the Wayland compositor, headless; keys from a virtual keyboard (wtype), shots
#       by grim. sway refuses to run as root: as root, the compositor and the game run
#       as the scratch user grimbolt-e2e, made when missing.
# x11:  Xvfb with the openbox window manager; keys by xdotool, shots by import.
#
# Without --required a missing tool or a display that cannot start skips the test
# (exit 77); with it, they fail it. --quick skips it outright.
set -euo pipefail
backend=$1
game=$2
probe=$3
mode=${4:-}
phase="set-up"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
fail() {
    echo "FAIL ($phase): $*"
    if [ -n "${last_shot:-}" ]; then
        shot
        cp "$last_shot" "${TMPDIR:-/tmp}/grimbolt-screen-$backend.png"
        echo "  the screen at the failure: ${TMPDIR:-/tmp}/grimbolt-screen-$backend.png"
    fi
    [ -f "$work/game.log" ] && sed 's/^/  game: /' "$work/game.log" | tail -20
    [ -z "${SCREEN_DEBUG:-}" ] || sleep 600
    exit 1
}

case $backend in
    sway) tools=(sway swaymsg wtype grim) ;;
    x11) tools=(Xvfb openbox xdotool import setxkbmap) ;;
    *) echo "unknown backend $backend" && exit 2 ;;
esac
need "${tools[@]}"

work=$(mktemp -d)
chmod 755 "$work"
cp "$game" "$work/grimbolt"
cp "$probe" "$work/probe"
run=()
if [ "$backend" = sway ] && [ "$(id -u)" -eq 0 ]; then
    id grimbolt-e2e >/dev/null 2>&1 ||
        useradd --system --no-create-home --shell /usr/sbin/nologin grimbolt-e2e
    chown grimbolt-e2e "$work"
    run=(runuser -u grimbolt-e2e --)
fi
mkdir -m 700 "$work/run"
[ ${#run[@]} -eq 0 ] || chown grimbolt-e2e "$work/run"

# Runs a command in the display's session, as its user, with the test's mark.
session() {
    marked "${run[@]}" env -i PATH=/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$work/run" \
        LANG=C.UTF-8 GRIMBOLT_SCREEN_RUN="$screen_mark" "${session_env[@]}" "$@"
}

start_sway() {
    cat >"$work/sway.conf" <<'EOF'
output HEADLESS-1 resolution 1920x1080
default_border none
xwayland disable
EOF
    session_env=(WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman)
    session sway -c "$work/sway.conf" >"$work/server.log" 2>&1 &
    local wayland swaysock
    for _ in $(seq 100); do
        wayland=$(cd "$work/run" && ls wayland-* 2>/dev/null | grep -v lock | head -1 || true)
        swaysock=$(ls "$work"/run/sway-ipc.*.sock 2>/dev/null | head -1 || true)
        if [ -n "$wayland" ] && [ -n "$swaysock" ]; then
            session_env=(WAYLAND_DISPLAY="$wayland" SWAYSOCK="$swaysock")
            platform=wayland
            return 0
        fi
        sleep 0.1
    done
    tail -5 "$work/server.log"
    skip "sway did not start"
}

start_x11() {
    start_test_xvfb
    session_env=(DISPLAY="$xvfb_display")
    session setxkbmap us
    session openbox >>"$work/server.log" 2>&1 &
    sleep 1
    platform=xcb
}

shot_n=0
shot() {
    shot_n=$((shot_n + 1))
    last_shot="$work/shot$shot_n.png"
    if [ "$backend" = sway ]; then
        session grim "$last_shot"
    else
        session import -window root "$last_shot"
    fi
}
ask() { "$work/probe" "$last_shot" "$@"; }

# tap KEY; hold KEY MS. wtype makes a new virtual keyboard each time, and a key it
# sends at once can arrive before the compositor has handed the keyboard's keymap to
# the game, which then drops it: each call waits a moment first.
tap() {
    if [ "$backend" = sway ]; then
        session wtype -s 150 -k "$1"
    else
        session xdotool key "$1"
    fi
}
hold() {
    if [ "$backend" = sway ]; then
        session wtype -s 150 -P "$1" -s "$2" -p "$1"
    else
        session xdotool keydown "$1" sleep "$(awk -v ms="$2" 'BEGIN { print ms / 1000 }')" keyup "$1"
    fi
}

# The keys Z and X as a Russian layout sends them: the letters я and ч with the key
# codes of Z (52) and X (53). X11 switches the layout. wtype gives each key it types
# the next key code of its own keymap, from 9 on: with 43 other keys first, я lands on
# 52 and ч on 53.
russian() {
    if [ "$backend" = x11 ]; then
        session setxkbmap ru
        if [ "$1" = tap ]; then session xdotool key Cyrillic_ya; fi
        if [ "$1" = hold ]; then session xdotool keydown Cyrillic_che sleep 0.5 keyup Cyrillic_che; fi
        session setxkbmap us
        return
    fi
    local pad=() c
    for c in a b c d e f g h i j k l m n o p q r s t u v w; do pad+=(-k "$c"); done
    for c in $(seq 13 32); do pad+=(-k "F$c"); done
    if [ "$1" = tap ]; then session wtype -s 150 "${pad[@]}" -k Cyrillic_ya; fi
    # я twice leaves the gun as it was and keeps ч on 53.
    if [ "$1" = hold ]; then
        session wtype -s 150 "${pad[@]}" -k Cyrillic_ya -P Cyrillic_che -s 500 -p Cyrillic_che \
            -k Cyrillic_ya
    fi
}

# A key held on a French layout: q, which sits where A does on a US keyboard (38), or
# a, which sits where Q does (24). X11 switches the layout. wtype numbers the keys of its
# own keymap from 9 in the order they come: after 15 others a lands on 24, after 29
# others q on 38, where the French layout has them.
french() {
    local key=$1 ms=$2
    if [ "$backend" = x11 ]; then
        session setxkbmap fr
        session xdotool keydown "$key" sleep "$(awk -v ms="$ms" 'BEGIN { print ms / 1000 }')" \
            keyup "$key"
        session setxkbmap us
        return
    fi
    local names=() pad=() c n=15
    [ "$key" = q ] && n=29
    for c in $(seq 13 35); do names+=("F$c"); done
    names+=(Find Cancel Redo Undo Select Execute)
    for c in "${names[@]:0:n}"; do pad+=(-k "$c"); done
    session wtype -s 150 "${pad[@]}" -P "$key" -s "$ms" -p "$key"
}

window_named() {
    if [ "$backend" = sway ]; then
        local tree
        tree=$(session swaymsg -t get_tree)
        grep -q "\"name\": \"$1\"" <<<"$tree"
    else
        session xdotool search --name "^$1\$" >/dev/null 2>&1
    fi
}

robot() {
    shot
    read -r robot_x robot_y robot_n < <(ask robot)
}

# Waits until the robot stands still on the tile row under a shown status panel,
# starting a new game when the robot was shot down.
landed() {
    local before=""
    for _ in $(seq 60); do
        robot
        if [ "$(ask dead)" = 1 ]; then
            tap F2
            before=""
            continue
        fi
        read -r panel_x panel_y panel_w panel_h < <(ask panel)
        if [ "$panel_w" -gt 0 ] && [ "$robot_n" -gt 0 ] && [ "$robot_y" = "$before" ] &&
            [ "$robot_y" -lt "$panel_y" ]; then
            return 0
        fi
        before=$robot_y
        sleep 0.4
    done
    fail "the robot never came to rest under a shown status panel"
}

# The checks of play, after the robot has landed. Each says why when it fails.
walks_right() {
    local x0=$robot_x
    hold Right 1000
    sleep 0.2
    robot
    why="the robot went from x $x0 to $robot_x"
    [ "$robot_x" -gt $((x0 + 40)) ]
}

lifts() {
    local y0=$robot_y
    if [ "$1" = russian ]; then russian hold; else hold x 500; fi
    robot
    why="the robot went from y $y0 to $robot_y"
    [ "$robot_y" -lt $((y0 - 40)) ]
}

pauses() {
    tap F3
    sleep 0.3
    shot
    paused=$last_shot
    sleep 0.8
    shot
    local changed
    changed=$(ask diff "$paused" | cut -d' ' -f1)
    why="$changed pixels changed while paused"
    [ "$changed" -eq 0 ]
}

# The player's keys of the enhanced edition on a French layout: walking right is bound
# to the letter Q, which follows the letter; the jet to the place of a US keyboard's Q,
# which stays where it is whatever the layout types there.
walks_right_by_letter() {
    local x0=$robot_x
    french q 1000
    sleep 0.2
    robot
    why="the robot went from x $x0 to $robot_x"
    [ "$robot_x" -gt $((x0 + 40)) ]
}
lifts_by_place() {
    local y0=$robot_y
    french a 500
    robot
    why="the robot went from y $y0 to $robot_y"
    [ "$robot_y" -lt $((y0 - 40)) ]
}

# While paused, only the robot may change: the gun going up.
raises_gun() {
    robot
    local before=$last_shot n left top width height
    russian tap
    sleep 0.3
    shot
    read -r n left top width height < <(ask diff "$before")
    russian tap # the gun level again
    why="$n pixels changed, in ${width}x$height at $left,$top; the robot at x $robot_x"
    [ "$n" -gt 0 ] && [ $((left + width / 2 - robot_x)) -lt 60 ] &&
        [ $((robot_x - left - width / 2)) -lt 60 ]
}

# How many windows the display server shows on the whole display: sway counts its
# full-screen nodes, X11 the game's windows as large as the display.
full_screen_windows() {
    if [ "$backend" = sway ]; then
        session swaymsg -t get_tree | grep -c '"fullscreen_mode": 1' || true
    else
        session xdotool search --onlyvisible --name '^Grimbolt$' getwindowgeometry %@ |
            grep -c "Geometry: $(session xdotool getdisplaygeometry | tr ' ' x)\$" || true
    fi
}

# F11: the game on the whole display under its menu bar, drawn anew, so the tile row
# lies no lower on the screen than under a title bar; F11 again: back where it was.
full_screen() {
    local y0=$panel_y y1 row full
    full=$(full_screen_windows)
    tap F11
    sleep 1
    shot
    full=$full,$(full_screen_windows)
    read -r panel_x panel_y panel_w panel_h < <(ask panel)
    y1=$panel_y
    row=$(ask ink $((panel_y + 2)) $((panel_y + 20)))
    cp "$last_shot" "${TMPDIR:-/tmp}/grimbolt-full-screen-$backend.png"
    tap F11
    sleep 1
    shot
    full=$full,$(full_screen_windows)
    read -r panel_x panel_y panel_w panel_h < <(ask panel)
    why="windows on the whole display $full; the panel at y $y0, then $y1 over a tile row on $row of the width, then $panel_y"
    local counts
    IFS=, read -ra counts <<<"$full"
    [ "${counts[1]}" = $((counts[0] + 1)) ] && [ "${counts[2]}" = "${counts[0]}" ] &&
        [ "$y1" -le "$y0" ] && [ $((panel_y - y0)) -ge -1 ] &&
        [ $((panel_y - y0)) -le 1 ] && awk -v r="$row" 'BEGIN { exit !(r >= 0.99) }'
}

# A monster may shoot the robot down in the middle of a check: then a new game, and
# the check again.
check() {
    local what=$1
    shift
    phase="$tag: $what"
    for _ in 1 2 3; do
        landed
        if "$@"; then
            echo "ok $tag: $what ($why)"
            return 0
        fi
        echo "  again, $what: $why"
    done
    fail "$why"
}

play() {
    local scale=$1 px row
    tag="$backend, scale $scale"
    phase="$tag: start"
    "start_$backend"
    session QT_QPA_PLATFORM=$platform QT_SCALE_FACTOR="$scale" "$work/grimbolt" \
        >"$work/game.log" 2>&1 &

    phase="$tag: shown and fitted"
    landed
    window_named Grimbolt || fail "no window of the game"
    px=$(awk -v s="$scale" 'BEGIN { printf "%d", 345 * s + 0.5 }')
    [ $((panel_w - px)) -ge -2 ] && [ $((panel_w - px)) -le 2 ] ||
        fail "status panel $panel_w px wide, not $px"
    # The tile row runs across the whole screen under the panel's top.
    row=$(ask ink $((panel_y + 2)) $((panel_y + 20)))
    awk -v r="$row" 'BEGIN { exit !(r >= 0.99) }' || fail "the tile row covers $row of the width"
    [ $((panel_y - robot_y)) -lt 100 ] ||
        fail "the robot rests at $robot_y, far above the tile row at $panel_y"
    echo "ok $tag: shown, tile row and panel at y $panel_y, robot landed at $robot_x,$robot_y"

    check "Right walks" walks_right
    check "X lifts" lifts latin
    check "F3 pauses" pauses
    # Still paused: the gun goes up and down, then F3 lets the game go on.
    phase="$tag: Z with a Russian layout"
    raises_gun || fail "$why"
    echo "ok $tag: я (Z on a Russian layout) raised the gun ($why)"
    tap F3
    sleep 0.5
    shot
    [ "$(ask diff "$paused" | cut -d' ' -f1)" -gt 0 ] || fail "the game did not go on after F3"
    check "ч (X on a Russian layout) lifts" lifts russian
    check "F11 full screen and back" full_screen

    phase="$tag: F1 opens the help window"
    tap F1
    for _ in $(seq 20); do
        if window_named "Помощь"; then
            echo "ok $tag: F1 opened the help window"
            stop_marked
            rm -rf "${work:?}"/run/*
            return 0
        fi
        sleep 0.2
    done
    fail "no help window"
}

keys() {
    tag="$backend, the player's keys"
    phase="$tag: start"
    "start_$backend"
    mkdir -p "$work/config/Grimbolt" "$work/data"
    printf '[keys]\nwalk_right=Q\njet=scan:24\n' >"$work/config/Grimbolt/grimbolt.conf"
    [ ${#run[@]} -eq 0 ] || chown -R grimbolt-e2e "$work/config" "$work/data"
    session QT_QPA_PLATFORM=$platform XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
        "$work/grimbolt" --enhanced >"$work/game.log" 2>&1 &
    check "q on a French layout walks right (bound to the letter Q)" walks_right_by_letter
    check "a on a French layout lifts (bound to the place of Q)" lifts_by_place
    stop_marked
    rm -rf "${work:?}"/run/*
}

play 1
play 1.25
keys
echo "passed: the game under $backend, 1:1 and scaled, and the player's keys"
