#!/usr/bin/env bash
# The Debian packages that `cpack -G DEB` makes, the game and the world server, pass
# Debian's own checks (lintian) with no error and no warning.
#   lintian_check.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" ||
    { cat "$out/cpack.log"; exit 1; }
lintian --version
for name in grimbolt grimbolt-server; do
    deb=$(ls "$out/${name}"_*.deb)
    lintian --fail-on error,warning --display-info "$deb"
    echo "$(basename "$deb"): no error, no warning"
done
