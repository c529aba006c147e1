#!/usr/bin/env bash
# Installs the game into a scratch prefix and checks what a desktop reads from it:
# the program, the desktop entry, the AppStream metainfo and the icons at each size.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.grimbolt.Grimbolt
test -x "$prefix/bin/grimbolt"
desktop-file-validate "$prefix/share/applications/$id.desktop"
grep -qx "Exec=grimbolt" "$prefix/share/applications/$id.desktop"
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"

# Each icon is a PNG of the size its folder names (width and height from the header).
for size in 16 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    if [ "$w" != "$size" ] || [ "$h" != "$size" ]; then
        echo "$png is ${w}x${h}, not ${size}x${size}" >&2
        exit 1
    fi
done
echo "installed and valid"
