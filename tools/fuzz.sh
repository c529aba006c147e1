#!/usr/bin/env bash
# Builds the fuzzer with clang and runs it: ./tools/fuzz.sh [SECONDS] (600 by default).
# Inputs it keeps go to build-fuzz/corpus; one that breaks the game is written to
# build-fuzz/ as crash-*, to be added to tests/fuzz/regressions/ with its fix.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

source tools/packages.sh
install_missing clang-14 libclang-rt-14-dev

if [ ! -f build-fuzz/build.ninja ]; then
    cmake --preset fuzz
fi
cmake --build --preset fuzz
mkdir -p build-fuzz/corpus
# A small quarantine keeps the memory of a long run down; Qt's fontconfig keeps a few
# blocks for good, so leaks are not looked for.
export ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16:malloc_context_size=8
build-fuzz/grimbolt-fuzz -max_total_time="$seconds" -max_len=512 -rss_limit_mb=4096 \
    -artifact_prefix=build-fuzz/ build-fuzz/corpus tests/fuzz/corpus
