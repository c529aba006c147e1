#!/ usr / bin / env bash
#The running game on a 3840 x 2160 virtual display : its peak memory, and the share of
#one core it takes over 10 s of play at the default 50 ms tick.
#Needs a built game and xvfb and xdotool : bench / measure_running.sh[seconds]
set - euo pipefail cd "$(dirname " $ {
    BASH_SOURCE[0]
}
")/.." seconds =
${1 : -10} source tools / xvfb.sh

                              game =
    "" trap 'kill $game $xvfb_pid 2>/dev/null || true; wait 2>/dev/null || true' EXIT
        start_xvfb 3840x2160 ||
{
    echo "Xvfb did not start" > &2;
    exit 1;
}
export DISPLAY = $xvfb_display build / grimbolt > / dev / null 2 > & 1 &game = $ !sleep 3 #shown,
       and the robot on the tile row if !kill - 0 "$game" 2 > / dev / null;
then echo "the game did not start on display $DISPLAY" > &2 exit 1 fi

                                                         cpu() {
    awk '{print $14 + $15}' "/proc/$game/stat";
}
hz = $(getconf CLK_TCK) start = $(cpu) t0 = $(date + % s.% N)
#Play : walk both ways and fire now and then.A new game every round, so that a robot
#shot down early does not leave the rest of the time idle.
    end = $(($(date + % s) + seconds)) while["$(date +%s)" - lt "$end"];
do
    xdotool key F2 xdotool keydown Right;
sleep 1;
xdotool keyup Right xdotool key Shift_L;
sleep 0.5 xdotool keydown Left;
sleep 1;
xdotool keyup Left xdotool key Shift_L;
sleep 0.5 done t1 = $(date + % s.% N) used = $(($(cpu) - start))
    peak = $(awk '/VmHWM/ {print $2}' "/proc/$game/status") awk -
           v used = "$used" -
                    v hz = "$hz" -
                           v t0 = "$t0" -
                                  v t1 = "$t1" -
                                         v peak = "$peak" 'BEGIN { printf "peak memory: %.1f MB\n",
               peak / 1024 printf "cpu: %.2f %% of one core over %.1f s\n",
               100 * used / hz / (t1 - t0), t1 - t0
}
'
