#!/usr/bin/env bash
# The classic edition writes no settings or data file: strace follows a classic replay
# and finds nothing opened for writing, made, renamed or removed under the
# configuration and data folders. The enhanced edition, traced the same way, is seen
# reading its settings there, which shows that the trace looks in the right place.
# Nor does the classic game open a network socket, or take a recorded game to open;
# the enhanced edition with a game waiting for a world server is seen opening one.
#   classic_files_test.sh GAME SCRIPT
set -euo pipefail
game=$1
script=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_CONFIG_HOME/Grimbolt" "$XDG_DATA_HOME/Grimbolt"
printf '[show]\npause_sign=true\n' >"$XDG_CONFIG_HOME/Grimbolt/grimbolt.conf"

# The trace's lines that write under the two folders.
writes() {
    grep -E "\"$home/(config|data)" "$1" |
        grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|mkdir|rename|unlink|rmdir|link|creat\(|truncate|chmod' ||
        true
}

strace -f -qq -e trace=%file -o "$home/classic.trace" \
    "$game" --replay "$script" --seed 7 >/dev/null 2>&1
found=$(writes "$home/classic.trace")
if [ -n "$found" ]; then
    echo "FAIL: the classic edition wrote under the configuration or data folder:"
    echo "$found"
    exit 1
fi

strace -f -qq -e trace=%file -o "$home/enhanced.trace" \
    timeout -s TERM 3 "$game" --enhanced >/dev/null 2>&1 || true
if ! grep -q "\"$XDG_CONFIG_HOME/Grimbolt/grimbolt.conf\"" "$home/enhanced.trace"; then
    echo "FAIL: the trace did not see the enhanced edition read its settings"
    exit 1
fi
echo "the classic edition wrote nothing under the configuration and data folders"

# The sockets a trace saw: the device watch (netlink) and local ones are no network.
network() {
    grep -E 'socket\(AF_INET6?,|connect\([0-9]+, \{sa_family=AF_INET6?,' "$1" || true
}
strace -f -qq -e trace=%network -o "$home/classic.net" \
    timeout -s TERM 3 "$game" >/dev/null 2>&1 || true
found=$(network "$home/classic.net")
if [ -n "$found" ]; then
    echo "FAIL: the classic edition opened a network socket:"
    echo "$found"
    exit 1
fi
if "$game" "$script" >/dev/null 2>&1; then
    echo "FAIL: the classic edition took a file to open"
    exit 1
fi
# A game waits in the outbox for a server on a closed loopback port: the enhanced
# edition tries to send it at its start.
outbox=$XDG_DATA_HOME/Grimbolt/outbox
mkdir -p "$outbox"
key=$(printf 'recording 2\n' | sha256sum | cut -c1-64)
printf 'recording 2\n' >"$outbox/$key.script"
printf '[world]\nserver=127.0.0.1:9\nname=Ann\ntoken=%s\n' "$(printf '%064d' 0)" \
    >>"$XDG_CONFIG_HOME/Grimbolt/grimbolt.conf"
strace -f -qq -e trace=%network -o "$home/enhanced.net" \
    timeout -s TERM 3 "$game" --enhanced >/dev/null 2>&1 || true
if [ -z "$(network "$home/enhanced.net")" ]; then
    echo "FAIL: the trace did not see the enhanced edition open its socket to the server"
    exit 1
fi
echo "the classic edition opened no network socket"
