#!/usr/bin/env bash
# grimbolt --verify: 0 for a recording that proves its score, 1 for one the rules play
# to another game or one recorded before proofs were strict, 2 for a file that is no
# recording or no proof; each answer names the file and the reason, and no display is
# needed. And --replay plays a script with the seed it names.
#   verify_test.sh GRIMBOLT REPLAYS_DIR
set -u
grimbolt=$1
replays=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0
# As root without a runtime folder, as a shell on a server has it: still only the answer.
unset XDG_RUNTIME_DIR
expect() {
    local want=$1 line=$2 out rc
    shift 2
    out=$(timeout 20 "$grimbolt" --verify "$@" 2>"$work/err")
    rc=$?
    if [ "$rc" != "$want" ] || [ "$out" != "$line" ] || [ -s "$work/err" ]; then
        echo "--verify $*: exit $rc, printed '$out' (wanted $want, '$line')"
        cat "$work/err"
        failed=1
    fi
}
game="$replays/recorded_game.script"
proven="$game: proven 1000 points earned, score 1000, category slow, 1294 ticks, 251 seconds"
expect 0 "$proven" "$game"
sed 's/^score 1000$/score 1100/' "$game" >"$work/boasted.script"
boasted="$work/boasted.script: not proven: the header says score 1100, the rules give 1000"
expect 1 "$boasted" "$work/boasted.script"
old="$replays/recorded_game_v1.script: not proven: recorded before proofs were strict"
expect 1 "$old" "$replays/recorded_game_v1.script"
expect 2 "$replays/whole_game.script: no proof: not a recorded game" "$replays/whole_game.script"
expect 2 "$work/missing.script: no proof: no such file" "$work/missing.script"
expect 2 "/dev/zero: no proof: not a regular file" /dev/zero
mkfifo "$work/fifo"
expect 2 "$work/fifo: no proof: not a regular file" "$work/fifo"
head -n 400 "$game" >"$work/torn.script"
printf 'tick 1 2 3\n' >>"$work/torn.script"
expect 2 "$work/torn.script: no proof: line $(wc -l <"$work/torn.script"): wrong number of values for 'tick'" \
    "$work/torn.script"
# Several files: each answered in turn, by name; the exit status is the worst.
expect 1 "$proven"$'\n'"$old" "$game" "$replays/recorded_game_v1.script"
# Every argument after --verify is a file, even one named like an option; a name cannot
# pass for an answer.
cp "$game" "$work/-v"
mimic="$work/x: proven 99900 points earned, score 1, category classic, 1 ticks, 0 seconds #"
cp "$game" "$mimic"
out=$(cd "$work" && timeout 20 "$grimbolt" --verify -v "$mimic" 2>&1)
want="-v: proven 1000 points earned, score 1000, category slow, 1294 ticks, 251 seconds
$work/x\x3a proven 99900 points earned, score 1, category classic, 1 ticks, 0 seconds #: proven 1000 points earned, score 1000, category slow, 1294 ticks, 251 seconds"
if [ "$out" != "$want" ]; then
    echo "--verify -v NAME: printed '$out'"
    failed=1
fi
# Help and the version need no display either, and print only themselves.
for option in --help --version; do
    out=$(timeout 20 "$grimbolt" "$option" 2>"$work/err")
    rc=$?
    if [ "$rc" != 0 ] || [ -z "$out" ] || [ -s "$work/err" ]; then
        echo "$option without a display: exit $rc, printed '${out:0:60}'"
        cat "$work/err"
        failed=1
    fi
done
# --replay takes a script's own seed over --seed.
{ echo "seed 2"; cat "$replays/whole_game.script"; } >"$work/seeded.script"
own=$(QT_QPA_PLATFORM=offscreen "$grimbolt" --replay "$work/seeded.script" --seed 9 2>/dev/null)
given=$(QT_QPA_PLATFORM=offscreen "$grimbolt" --replay "$replays/whole_game.script" --seed 2 2>/dev/null)
if [ -z "$own" ] || [ "$own" != "$given" ]; then
    echo "--replay with seed 2 in the script: '$own', with --seed 2: '$given'"
    failed=1
fi
[ "$failed" = 0 ] && echo "--verify tells proven, unproven, old and unreadable apart"
exit "$failed"
