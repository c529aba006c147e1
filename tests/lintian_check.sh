#!/usr/bin/env bash
# The Debian package that `cpack -G DEB` makes passes Debian's own checks (lintian)
# with no error and no warning.
#   lintian_check.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" ||
    { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
lintian --version
lintian --fail-on error,warning --display-info "$deb"
echo "$(basename "$deb"): no error, no warning"
