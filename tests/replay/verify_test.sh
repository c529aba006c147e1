#!/usr/bin/env bash
# grimbolt --verify: 0 for a recording that proves its score, 1 for one that does not,
# 2 for a file that is no recording or cannot be read; no display needed. And --replay
# plays a script with the seed it names.
#   verify_test.sh GRIMBOLT REPLAYS_DIR
set -u
grimbolt=$1
replays=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0
expect() {
    local want=$1 file=$2 line=$3 out rc
    out=$("$grimbolt" --verify "$file" 2>"$work/err")
    rc=$?
    if [ "$rc" != "$want" ] || { [ -n "$line" ] && [ "$out" != "$line" ]; }; then
        echo "--verify $file: exit $rc, printed '$out' (wanted $want, '$line')"
        cat "$work/err"
        failed=1
    fi
}
expect 0 "$replays/recorded_game.script" "recorded 1000 replayed 1000"
sed 's/^score 1000$/score 1100/' "$replays/recorded_game.script" >"$work/boasted.script"
expect 1 "$work/boasted.script" "recorded 1100 replayed 1000"
expect 2 "$replays/whole_game.script" ""
expect 2 "$work/missing.script" ""
head -c 3000 "$replays/recorded_game.script" >"$work/torn.script"
printf 'tick 1 2 3\n' >>"$work/torn.script"
expect 2 "$work/torn.script" ""
# --replay takes a script's own seed over --seed.
{ echo "seed 2"; cat "$replays/whole_game.script"; } >"$work/seeded.script"
own=$(QT_QPA_PLATFORM=offscreen "$grimbolt" --replay "$work/seeded.script" --seed 9 2>/dev/null)
given=$(QT_QPA_PLATFORM=offscreen "$grimbolt" --replay "$replays/whole_game.script" --seed 2 2>/dev/null)
if [ -z "$own" ] || [ "$own" != "$given" ]; then
    echo "--replay with seed 2 in the script: '$own', with --seed 2: '$given'"
    failed=1
fi
[ "$failed" = 0 ] && echo "--verify tells proven, unproven and unreadable apart"
exit "$failed"
