#!/usr/bin/env bash
# Sets up everything on a fresh Debian 12 machine, builds the game and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --preset default
