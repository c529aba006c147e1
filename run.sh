#!/usr/bin/env bash
# Sets up everything on a fresh Debian 12 machine, builds the game and starts it.
#   ./run.sh [GAME OPTIONS]     the game (./run.sh --enhanced for the enhanced edition)
#   ./run.sh --server [OPTIONS] a world hall of fame on 127.0.0.1:8640, its games in
#                               SQLite under ~/.local/share/grimbolt-server
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
if [ "${1:-}" = --server ]; then
    shift
    exec build/grimbolt-server --listen 127.0.0.1 --port 8640 \
        --data "${XDG_DATA_HOME:-$HOME/.local/share}/grimbolt-server" "$@"
fi
exec build/grimbolt "$@"
