#!/usr/bin/env bash
# Builds the fuzzers with clang and runs them: ./tools/fuzz.sh [SECONDS] (600 by default),
# two thirds of the time the script player, a sixth the hall's reading of recordings and
# of its index, a sixth the world server's answers to any request. Inputs they keep go to build-fuzz/corpus and build-fuzz/hall_corpus; one
# that breaks the game is written to build-fuzz/ as crash-*, to be added to
# tests/fuzz/regressions/ (or to tests/fuzz/hall_corpus/) with its fix.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

source tools/packages.sh
install_missing clang-14 libclang-rt-14-dev

if [ ! -f build-fuzz/build.ninja ]; then
    cmake --preset fuzz
fi
cmake --build --preset fuzz
mkdir -p build-fuzz/corpus build-fuzz/hall_corpus
# A small quarantine keeps the memory of a long run down; Qt's fontconfig keeps a few
# blocks for good, so leaks are not looked for.
export ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16:malloc_context_size=8
build-fuzz/grimbolt-fuzz -max_total_time="$((seconds * 2 / 3))" -max_len=512 -rss_limit_mb=4096 \
    -artifact_prefix=build-fuzz/ build-fuzz/corpus tests/fuzz/corpus
build-fuzz/grimbolt-fuzz-hall -max_total_time="$((seconds / 6))" -max_len=2048 \
    -rss_limit_mb=4096 -artifact_prefix=build-fuzz/ build-fuzz/hall_corpus tests/fuzz/hall_corpus
mkdir -p build-fuzz/server_corpus
build-fuzz/grimbolt-fuzz-server -max_total_time="$((seconds - seconds * 2 / 3 - seconds / 6))" \
    -max_len=4096 -rss_limit_mb=4096 -artifact_prefix=build-fuzz/ build-fuzz/server_corpus \
    tests/fuzz/server_corpus
