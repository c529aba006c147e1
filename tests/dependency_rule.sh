#!/usr/bin/env bash
# The rooms of the code and who may include what:
# - the rules (core/, hero/, world/, and the shop and the full redraw in ui/) include
#   the game's core and the canvas's one header, never a window or a shell header;
# - the canvas (ui/canvas/) knows nothing of the game: its own headers and Qt's only;
# - outside the canvas and its tests, only its one header is included.
#   dependency_rule.sh SOURCE_DIR
set -euo pipefail
cd "$1"
failed=0
includes() { grep -Hn '^[[:space:]]*#[[:space:]]*include' "$@" || true; }
breaks() {
    local why=$1
    shift
    if [ -n "$*" ]; then
        echo "$why:"
        printf '  %s\n' "$@"
        failed=1
    fi
}

rules=(core/*.h core/*.cpp hero/*.cpp world/*.cpp ui/magazine.cpp ui/redraw.cpp)
mapfile -t bad < <(includes "${rules[@]}" |
    grep -Ev '#include (<[a-z_/]+(\.h)?>|<Q(Image|String|Time|Rect|Size|Point|Color|Font)>|"core/[a-z_]+\.h"|"ui/canvas/surface\.h")')
breaks "a rules file includes more than the core, the canvas's header and Qt's pictures" "${bad[@]}"

mapfile -t bad < <(includes ui/canvas/*.h ui/canvas/*.cpp | grep -E '#include "' |
    grep -Ev '#include "ui/canvas/[a-z_]+\.h"')
breaks "a canvas file includes something of the game or the shell" "${bad[@]}"

mapfile -t bad < <(grep -rHn --include='*.h' --include='*.cpp' '#include "ui/canvas/' \
    core hero world ui replay bench tests assets | grep -v '^ui/canvas/' |
    grep -v '^tests/ui/canvas/' | grep -v '"ui/canvas/surface\.h"')
breaks "the canvas's inner headers are included from outside it" "${bad[@]}"

if [ "$failed" = 0 ]; then
    echo "every include keeps to its room"
fi
exit "$failed"
