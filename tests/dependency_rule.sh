#!/usr/bin/env bash
# The rooms of the code and who may include what. The build gives each library only
# the folders it may include, so most breaks do not compile; this checks the rest:
# - the rules (core/, hero/, world/) include the game's core, the canvas's one header
#   and Qt's picture and string types (translations too), never Qt's windows nor a
#   system library;
# - the canvas (canvas/) includes its own headers and Qt's only;
# - outside the canvas and its tests, only the canvas's one header is included;
# - no file reaches another room by a relative path.
#   dependency_rule.sh SOURCE_DIR
set -euo pipefail
cd "$1"
failed=0
includes() { grep -rHn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include' "$@" || true; }
breaks() {
    local why=$1
    shift
    if [ -n "$*" ]; then
        echo "$why:"
        printf '  %s\n' "$@"
        failed=1
    fi
}

mapfile -t bad < <(includes core hero world |
    grep -Ev '#include (<[a-z_/]+(\.h)?>|<Q(Image|String|Time|Rect|Size|Point|Color|Font|CoreApplication)>|"core/[a-z_]+\.h"|"canvas/surface\.h")')
breaks "a rules file includes more than the core, the canvas's header and Qt's pictures" "${bad[@]}"

mapfile -t bad < <(includes canvas | grep -E '#include "' | grep -Ev '#include "canvas/[a-z_]+\.h"')
breaks "a canvas file includes something of the game or the shell" "${bad[@]}"

mapfile -t bad < <(includes core hero world shell replay bench tests assets |
    grep '#include "canvas/' | grep -v '^tests/canvas/' | grep -v '"canvas/surface\.h"')
breaks "the canvas's inner headers are included from outside it" "${bad[@]}"

mapfile -t bad < <(includes canvas core hero world shell replay | grep -E '#include "\.\.?/')
breaks "a file reaches another room by a relative path" "${bad[@]}"

if [ "$failed" = 0 ]; then
    echo "every include keeps to its room"
fi
exit "$failed"
