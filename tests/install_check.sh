#!/usr/bin/env bash
# Installs the game into a scratch prefix and checks what a desktop reads from it:
# the program where Debian keeps games, its manual page, the desktop entry that
# starts it, the AppStream metainfo, the icons at each size, the copyright and the
# changelog.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.grimbolt.Grimbolt
test -x "$prefix/games/grimbolt"
desktop-file-validate "$prefix/share/applications/$id.desktop"
grep -qx "Exec=$prefix/games/grimbolt" "$prefix/share/applications/$id.desktop"
grep -qx "Exec=$prefix/games/grimbolt --enhanced" "$prefix/share/applications/$id.desktop"
# A recorded game opens in the enhanced edition with a double click: its own entry, and
# the type known by its extension and its first word.
desktop-file-validate "$prefix/share/applications/$id.Recording.desktop"
grep -qx "Exec=$prefix/games/grimbolt --enhanced %f" "$prefix/share/applications/$id.Recording.desktop"
grep -qx "MimeType=application/x-grimbolt-recording;" "$prefix/share/applications/$id.Recording.desktop"
mime="$prefix/share/mime"
test -s "$mime/packages/$id.xml"
if command -v update-mime-database >/dev/null && command -v xdg-mime >/dev/null; then
    update-mime-database "$mime" >/dev/null
    game=$(mktemp -d)
    printf 'recording 2\nseed 1\n' >"$game/downloaded"
    cp "$game/downloaded" "$game/grimbolt-1.grimbolt"
    for file in "$game/downloaded" "$game/grimbolt-1.grimbolt"; do
        type=$(XDG_DATA_DIRS="$prefix/share" xdg-mime query filetype "$file")
        [ "$type" = application/x-grimbolt-recording ] ||
            { echo "$file is $type, not a Grimbolt recording" >&2; rm -rf "$game"; exit 1; }
    done
    rm -rf "$game"
    # And the desktop opens it with the entry that proves and shows it.
    update-desktop-database "$prefix/share/applications"
    opener=$(XDG_DATA_DIRS="$prefix/share" XDG_DATA_HOME="$prefix/none" \
        xdg-mime query default application/x-grimbolt-recording)
    [ "$opener" = "$id.Recording.desktop" ] ||
        { echo "a recording opens with '$opener', not $id.Recording.desktop" >&2; exit 1; }
fi
# The manual page names the options --help names, and the keys.
page=$(zcat "$prefix/share/man/man6/grimbolt.6.gz")
for word in '\-\-replay' '\-\-version' '\-\-help' '\-\-enhanced' 'Keys' 'F11' 'Shift'; do
    grep -qF -- "$word" <<<"$page" || { echo "the manual page lacks $word" >&2; exit 1; }
done
test -s "$prefix/share/doc/grimbolt/copyright"
# The changelog's last entry is of the version the program tells.
version=$(QT_QPA_PLATFORM=offscreen "$prefix/games/grimbolt" --version 2>/dev/null | awk '{print $2}')
zcat "$prefix/share/doc/grimbolt/changelog.gz" | head -1 | grep -qF "grimbolt ($version)" ||
    { echo "the changelog is not of version $version" >&2; exit 1; }
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
# The world server: its program, its manual page and its unit, which starts the program
# installed.
test -x "$prefix/bin/grimbolt-server"
zcat "$prefix/share/man/man1/grimbolt-server.1.gz" | grep -qF -- '\-\-database'
grep -qx 'ExecStart=/usr/bin/grimbolt-server .*' "$prefix/lib/systemd/system/grimbolt-server.service"
test -s "$prefix/share/doc/grimbolt-server/copyright"
echo "installed and valid"
