#!/usr/bin/env bash
# Sets up everything on a fresh Debian 12 machine, builds the game and runs its tests
# headless.
#
#   ./test.sh          every test of the normal build, and a short soak under the
#                      address and undefined-behaviour sanitizers (a few minutes)
#   ./test.sh --full   also the screen tests on real X11 and Wayland display servers,
#                      valgrind, the benchmarks' build, and every test again in the
#                      sanitizer build with a soak of 1,000,000 random events
set -euo pipefail
cd "$(dirname "$0")"
case "${1:-}" in
    --full) export GRIMBOLT_FULL=1 ;;
    "") export GRIMBOLT_FULL=0 ;;
    *) echo "usage: ./test.sh [--full]" >&2 && exit 2 ;;
esac
source tools/setup.sh
export QT_QPA_PLATFORM=offscreen

configure() { [ -f "build-$1/build.ninja" ] || cmake --preset "$1"; }

if [ "$GRIMBOLT_FULL" = 1 ]; then
    configure bench
    cmake --build --preset bench
    ctest --preset default
    configure asan
    cmake --build --preset asan
    ctest --preset asan
else
    ctest --preset quick
    echo "Left to ./test.sh --full: the screen tests, valgrind and the long sanitizer soak."
    configure asan
    cmake --build --preset asan-soak
    ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        build-asan/grimbolt-soak --events 40000 --seed 1 --jobs 2
fi
