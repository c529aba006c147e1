#!/usr/bin/env bash
# The game's sounds on a real sound server: PulseAudio, headless, with a null sink, run
# as a scratch user (it will not run as root); the game plays into it through SDL, and
# parec records the sink's monitor while a scripted game fires three shots: at once, after
# the device has rested, and while it is open. The recording must hold the three, each
# a whole shot (about 90 ms of sound) between silences.
#
#   sound_server_test.sh SHELL_TESTS [--required | --quick]
set -euo pipefail
tests=$1
mode=${2:-}
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
need pulseaudio parec pactl

work=$(mktemp -d)
chmod 755 "$work"
run=()
if [ "$(id -u)" -eq 0 ]; then
    id grimbolt-e2e >/dev/null 2>&1 ||
        useradd --system --no-create-home --shell /usr/sbin/nologin grimbolt-e2e
    chown grimbolt-e2e "$work"
    run=(runuser -u grimbolt-e2e --)
fi
cp "$tests" "$work/shell_tests"
mkdir -m 700 "$work/run"
[ ${#run[@]} -eq 0 ] || chown grimbolt-e2e "$work/run"

# Runs a command as the sound server's user, with the test's mark.
session() {
    marked "${run[@]}" env -i PATH=/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$work/run" \
        LANG=C.UTF-8 GRIMBOLT_SCREEN_RUN="$screen_mark" "$@"
}

session pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    -L "module-null-sink sink_name=grimbolt rate=48000 channels=1" \
    -L module-native-protocol-unix >"$work/server.log" 2>&1 &
for _ in $(seq 100); do
    session pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
session pactl info >/dev/null 2>&1 || { tail -5 "$work/server.log"; skip "PulseAudio did not start"; }
session pactl set-default-sink grimbolt

session parec -d grimbolt.monitor --format=s16le --rate=48000 --channels=1 --latency-msec=10 \
    "$work/heard.raw" &
sleep 0.5
session env QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=pulseaudio GRIMBOLT_SOUND_SERVER=1 \
    "$work/shell_tests" --gtest_filter='ServerSound.*' >"$work/game.log" 2>&1 ||
    { cat "$work/game.log"; echo "FAIL: the game's side"; exit 1; }
sleep 0.5
stop_marked

# The loudest sample, and the bursts of sound with their lengths in ms: runs above the
# floor that follow at least 100 ms of silence.
read -r loudest lengths < <(od -An -v -td2 -w2 "$work/heard.raw" | awk '
    function close_burst() { if (n > 0) out = out sprintf(" %d", (last - start) / 48) }
    { v = $1 < 0 ? -$1 : $1; if (v > m) m = v
      if (v > 300) { if (quiet >= 4800) { close_burst(); n++; start = NR } last = NR; quiet = 0 }
      else quiet++ }
    BEGIN { quiet = 4800 }
    END { close_burst(); printf "%d%s\n", m, out }')
bytes=$(stat -c %s "$work/heard.raw")
echo "recorded $((bytes / 96)) ms; loudest sample $loudest; bursts of sound, in ms:$lengths"
sed 's/^/  game: /' "$work/game.log" | grep -E 'heard|OK|FAILED' || true
read -ra bursts <<<"$lengths"
whole=1
for length in "${bursts[@]}"; do
    [ "$length" -ge 60 ] && [ "$length" -le 150 ] || whole=0
done
if [ "$loudest" -lt 4000 ] || [ "${#bursts[@]}" -ne 3 ] || [ "$whole" != 1 ]; then
    echo "FAIL: the server did not hear the three shots whole"
    exit 1
fi
echo "passed: the game's sounds reached PulseAudio"
