#!/usr/bin/env bash
# Sets up everything on a fresh Debian 12 machine, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
exec build/grimbolt "$@"
