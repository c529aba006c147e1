#!/usr/bin/env bash
# Sets up everything on a fresh Debian 12 machine, builds the game and runs every test
# headless: first the normal build, then the same tests and a long random soak under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --preset default

if [ ! -f build-asan/build.ninja ]; then
    cmake --preset asan
fi
cmake --build --preset asan
ctest --preset asan
