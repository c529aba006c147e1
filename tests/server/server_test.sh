#!/usr/bin/env bash
# The world server as it runs for real, in the full run:
# - its answers' tests again, against a real PostgreSQL 15 that this test starts as the
#   scratch user, on a Unix socket in a temporary folder;
# - killed with SIGKILL at random moments while clients upload (ROUNDS times): every
#   upload answered 2xx is there after a restart, once, whole and proven;
# - PostgreSQL stopped and started during uploads: 503 meanwhile, the server reconnects
#   by itself and loses no game;
# - two servers on one PostgreSQL taking the same uploads at once: every game once,
#   ranks consistent;
# - its page in a real headless Chromium: the board renders, a name with <script> in it
#   shows as text, and the download link gives a recording that grimbolt --verify proves.
#
#   server_test.sh SERVER_TESTS GRIMBOLT_SERVER GRIMBOLT OTHER_GAMES [--required | --quick]
#                  [ROUNDS]
set -euo pipefail
tests=$1
server=$2
game=$3
other_games=$4
mode=${5:-}
rounds=${6:-100}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../screen/common.sh"
pg=/usr/lib/postgresql/15/bin
need curl chromium "$pg/postgres"

work=$(mktemp -d)
chmod 755 "$work"
recording="$here/../replays/recorded_game.script"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Other real games, each a play of its own that proves: the kills cycle through the
# first 300, the PostgreSQL parts take the rest.
mkdir "$work/rec"
"$other_games" "$recording" "$work/rec" 400 >/dev/null 2>&1 || fail "no other games to send"
variant() {
    if [ "$1" -lt 5000 ]; then
        echo "$work/rec/$(($1 % 300)).script"
    else
        echo "$work/rec/$((300 + ($1 - 5000) % 100)).script"
    fi
}

# A recording as the server keeps it: the lines the game reads, without comments.
kept_form() {
    sed -e 's/\r$//' -e '/^[[:space:]]*#/d' -e '/^[[:space:]]*$/d' -e 's/[[:space:]]*$//' "$1"
}

# A server started in the background: its pid in $started, its port in $port.
start_server() {
    port=$1
    shift
    # env runs the server in its own place: the pid is the server's.
    env GRIMBOLT_SCREEN_RUN="$screen_mark" "$server" --port "$port" --per-minute 1000000 \
        --uploads-per-minute 1000000 --games-per-day 1000000 --queue 1000 "$@" \
        2>>"$work/server.log" &
    started=$!
    for _ in $(seq 100); do
        curl -sf "http://127.0.0.1:$port/healthz" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    tail -5 "$work/server.log"
    fail "the server did not start"
}

claim() {
    curl -sf -X POST -d "{\"name\": \"$2\"}" "http://127.0.0.1:$1/api/v1/players" |
        sed 's/.*"token":"\([0-9a-f]*\)".*/\1/'
}

# Sends a recording; prints the status and the game's id (or 0).
upload() {
    local port=$1 token=$2 file=$3 answer
    answer=$(curl -s -m 20 -w '\n%{http_code}' -H "Authorization: Bearer $token" \
        --data-binary "@$file" "http://127.0.0.1:$port/api/v1/games" 2>/dev/null) || answer=$'\n000'
    local status=${answer##*$'\n'}
    local id
    id=$(printf '%s' "$answer" | head -1 | sed -n 's/.*"id":\([0-9]*\).*/\1/p')
    echo "$status ${id:-0}"
}

# Every game on a board, as "rank id earned" lines, best first.
board_lines() {
    local port=$1 category=$2 offset=0 page
    while :; do
        page=$(curl -sf "http://127.0.0.1:$port/api/v1/boards/$category?offset=$offset&limit=100")
        paste -d' ' <(printf '%s' "$page" | grep -o '"rank":[0-9]*' | cut -d: -f2) \
            <(printf '%s' "$page" | grep -o '"id":[0-9]*' | cut -d: -f2) \
            <(printf '%s' "$page" | grep -o '"earned":[0-9]*' | cut -d: -f2) | grep -v '^  $' || true
        [ "$(printf '%s' "$page" | grep -o '"rank"' | wc -l)" = 100 ] || break
        offset=$((offset + 100))
    done
}

# Each id once on the board, ranks 1..n in order, and each recording the one sent.
check_kept() {
    local port=$1 accepted=$2 lines
    lines=$(board_lines "$port" slow)
    local n
    n=$(printf '%s\n' "$lines" | grep -c . || true)
    [ "$(printf '%s\n' "$lines" | awk '{print $2}' | sort | uniq -d | wc -l)" = 0 ] ||
        fail "a game is on the board twice"
    [ "$(printf '%s\n' "$lines" | awk '{print $1}' | tr '\n' ' ')" = "$(seq -s ' ' 1 "$n") " ] ||
        fail "the ranks are not 1 to $n"
    while read -r file id; do
        printf '%s\n' "$lines" | awk '{print $2}' | grep -qx "$id" ||
            fail "game $id, answered 2xx, is not on the board"
        curl -sf "http://127.0.0.1:$port/api/v1/games/$id" | cmp -s - <(kept_form "$file") ||
            fail "game $id is not the recording sent"
    done <"$accepted"
    echo "$n"
}

echo "== killed while clients upload, $rounds times (SQLite)"
: >"$work/accepted"
next=0
token=
for round in $(seq "$rounds"); do
    start_server 18701 --data "$work/sqlite"
    [ -n "$token" ] || token=$(claim 18701 Killer)
    (
        for i in $(seq 0 20); do
            file=$(variant $((next + i)))
            read -r status id < <(upload 18701 "$token" "$file")
            case $status in 2??) echo "$file $id" >>"$work/accepted" ;; esac
        done
    ) &
    uploader=$!
    sleep "0.$((RANDOM % 4))$((RANDOM % 10))"
    kill -KILL "$started" || { tail -3 "$work/server.log"; fail "the server had ended by itself"; }
    wait "$uploader" || true
    wait "$started" 2>/dev/null || true
    next=$((next + 21))
done
start_server 18701 --data "$work/sqlite"
kept=$(check_kept 18701 "$work/accepted")
echo "$(wc -l <"$work/accepted") uploads answered 2xx over $rounds kills; $kept games kept, each once"
[ "$(sort -u -k2,2 "$work/accepted" | wc -l)" -le "$kept" ] || fail "fewer games than answered"
kill -TERM "$started"
wait "$started"
grep -q "stopped" "$work/server.log" || fail "no clean stop on SIGTERM"

echo "== PostgreSQL 15 on a Unix socket"
id grimbolt-e2e >/dev/null 2>&1 ||
    useradd --system --no-create-home --shell /usr/sbin/nologin grimbolt-e2e
mkdir "$work/pg"
chown grimbolt-e2e "$work/pg"
as_scratch=()
[ "$(id -u)" != 0 ] || as_scratch=(runuser -u grimbolt-e2e --)
"${as_scratch[@]}" "$pg/initdb" -D "$work/pg/data" -A trust -U grimbolt --no-sync \
    >"$work/initdb.log" 2>&1 || { cat "$work/initdb.log"; fail "initdb"; }
start_postgres() {
    "${as_scratch[@]}" env GRIMBOLT_SCREEN_RUN="$screen_mark" "$pg/postgres" -D "$work/pg/data" \
        -k "$work/pg" -c listen_addresses= -p 5499 >>"$work/postgres.log" 2>&1 &
    postgres=$!
    for _ in $(seq 100); do
        [ -S "$work/pg/.s.PGSQL.5499" ] && "$pg/pg_isready" -q -h "$work/pg" -p 5499 && return 0
        sleep 0.1
    done
    tail -5 "$work/postgres.log"
    fail "postgres did not start"
}
start_postgres
"$pg/createdb" -h "$work/pg" -p 5499 -U grimbolt world
url="postgresql://grimbolt@localhost:5499/world?host=$work/pg"

echo "== the answers' tests against PostgreSQL"
GRIMBOLT_TEST_DATABASE=$url marked "$tests" --gtest_filter='World.*:Store.*' --gtest_brief=1 ||
    fail "the answers' tests on PostgreSQL"
"$pg/dropdb" -h "$work/pg" -p 5499 -U grimbolt world
"$pg/createdb" -h "$work/pg" -p 5499 -U grimbolt world

echo "== two servers on one database, the same uploads at once"
start_server 18702 --database "$url"
first=$started
start_server 18703 --database "$url"
second=$started
token=$(claim 18702 Twins)
: >"$work/twins"
uploaders=()
for port in 18702 18703; do
    (
        for i in $(seq 5000 5029); do
            read -r status id < <(upload "$port" "$token" "$(variant "$i")")
            case $status in
                2??) echo "$(variant "$i") $id" >>"$work/twins" ;;
                *) echo "recording $i to $port: $status" >>"$work/twins-failed" ;;
            esac
        done
    ) &
    uploaders+=($!)
done
wait "${uploaders[@]}"
[ "$(wc -l <"$work/twins")" = 60 ] ||
    fail "$(wc -l <"$work/twins") of 60 uploads answered 2xx: $(cat "$work/twins-failed")"
[ "$(sort -u -k2,2 "$work/twins" | wc -l)" = 30 ] || fail "the same recording kept twice"
[ "$(check_kept 18703 "$work/twins")" = 30 ] || fail "not 30 games on the board"
echo "60 uploads to two servers: 30 games, once each, ranks 1 to 30"

echo "== the database goes away during uploads"
: >"$work/away"
(
    for i in $(seq 5030 5069); do
        while :; do
            read -r status id < <(upload 18702 "$token" "$(variant "$i")")
            echo "$status" >>"$work/statuses"
            case $status in
                2??) echo "$(variant "$i") $id" >>"$work/away"; break ;;
                503 | 000) sleep 0.2 ;;
                *) echo "unexpected $status" >>"$work/statuses"; break ;;
            esac
        done
    done
) &
uploader=$!
sleep 0.5
"${as_scratch[@]}" "$pg/pg_ctl" -D "$work/pg/data" stop -m fast >/dev/null
wait "$postgres" 2>/dev/null || true
health=$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:18702/healthz")
[ "$health" = 503 ] || fail "healthz said $health with the database away"
sleep 2
start_postgres
wait "$uploader"
grep -q unexpected "$work/statuses" && fail "$(grep unexpected "$work/statuses" | head -1)"
grep -qx 503 "$work/statuses" || fail "no 503 while the database was away"
cat "$work/twins" "$work/away" >"$work/all"
[ "$(check_kept 18702 "$work/all")" = 70 ] || fail "a game was lost while the database was away"
echo "40 uploads across a stop of PostgreSQL: $(grep -cx 503 "$work/statuses") answers 503, no game lost"

echo "== the page in headless Chromium"
evil=$(claim 18702 '<script>x()</script>')
[ -n "$evil" ] || fail "the name with <script> was not claimed"
read -r status id < <(upload 18702 "$evil" "$(variant 5070)")
[ "$status" = 201 ] || fail "upload $status"
dom=$(marked chromium --headless --no-sandbox --disable-gpu --dump-dom \
    "http://127.0.0.1:18702/boards/slow?around=%3Cscript%3Ex()%3C%2Fscript%3E" 2>/dev/null)
printf '%s' "$dom" | grep -q '&lt;script&gt;x()&lt;/script&gt;' ||
    fail "the name is not shown as text"
printf '%s' "$dom" | grep -q '<title>Grimbolt' || fail "the page did not render"
link=$(printf '%s' "$dom" | grep -o "/api/v1/games/$id" | head -1)
curl -sf "http://127.0.0.1:18702$link" -o "$work/downloaded.script"
QT_QPA_PLATFORM=offscreen "$game" --verify "$work/downloaded.script" | grep -q proven ||
    fail "the download does not prove"
echo "passed: kills, PostgreSQL, two servers, the database away, and the page in Chromium"
