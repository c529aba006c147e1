#!/usr/bin/env bash
# Builds the game's and the drawing's tests with ThreadSanitizer (clang) and runs them:
# ./tools/tsan.sh. The drawing shares its rows with a helper thread; this looks for a
# race between the two. The window tests are left out (Qt itself is not built for it),
# and so is the allocation count, which replaces the allocator the sanitizer needs.
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/packages.sh
install_missing clang-14 libclang-rt-14-dev

if [ ! -f build-tsan/build.ninja ]; then
    cmake --preset tsan
fi
cmake --build --preset tsan
export QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1
for tests in canvas_tests core_tests hero_tests world_tests; do
    "build-tsan/tests/$tests" --gtest_brief=1
done
