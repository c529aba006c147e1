#!/usr/bin/env bash
# The rooms of the code and who may include what. The build gives each library only
# the folders it may include, so most breaks do not compile; this checks the rest:
# - the rules (core/, hero/, world/) include the game's core, the canvas's one header
#   and Qt's picture and string types (translations too), never Qt's windows nor a
#   system library;
# - the canvas (canvas/) includes its own headers and Qt's only;
# - outside the canvas and its tests, only the canvas's one header is included;
# - the recordings (replay/) include the rules, the canvas's header and Qt's non-window
#   parts, never a window nor the shell;
# - the shell's rooms keep to theirs: input sees only the game's key codes, sound the
#   rules, the main window (shell/*) the script format and the one road of replay/ and
#   input, the hall's window the main window and replay/, the enhanced edition those
#   and input, neither the other, and only the program (app/), its tests and
#   benchmarks see app/;
# - the server (server/) proves with replay/ and sees no window, no shell, no program,
#   and nothing else sees it;
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

mapfile -t bad < <(includes replay | grep -E '#include (<Q(Widget|Application|MainWindow|Dialog|Action|Menu)|"(shell|app)/)')
breaks "a recordings file includes a window or the shell" "${bad[@]}"

mapfile -t bad < <(includes shell/input | grep -E '#include "' |
    grep -Ev '#include "(shell/input/[a-z_]+\.h|core/keys\.h)"')
breaks "an input file includes more than input and the game's key codes" "${bad[@]}"

mapfile -t bad < <(includes shell/sound | grep -E '#include "' |
    grep -Ev '#include "(shell/sound|core)/[a-z_]+\.h"')
breaks "a sound file includes more than sound and the rules" "${bad[@]}"

mapfile -t bad < <(includes shell/*.h shell/*.cpp | grep -E '#include "' |
    grep -Ev '#include "(shell/[a-z_]+|shell/input/[a-z_]+|core/[a-z_]+|replay/(script|road)|canvas/surface)\.h"')
breaks "a main window file includes more than its room, input, the rules and the road" "${bad[@]}"

mapfile -t bad < <(includes shell/online | grep -E '#include "' |
    grep -Ev '#include "(shell/online/[a-z_]+|replay/script)\.h"')
breaks "an online file includes more than its room and the script format" "${bad[@]}"

mapfile -t bad < <(includes shell/hall | grep -E '#include "(shell/(enhanced|sound|input)|app)/')
breaks "a hall window file includes the enhanced edition, sound, input or the program" "${bad[@]}"

mapfile -t bad < <(includes shell/enhanced | grep -E '#include "(shell/(hall|sound)|app)/')
breaks "an enhanced edition file includes the hall, sound or the program" "${bad[@]}"

mapfile -t bad < <(includes server | grep -E '#include (<Q(Widget|Application|MainWindow|Dialog|Action|Menu|Painter|Window)|"(shell|app|canvas|core|hero|world)/)')
breaks "a server file includes a window, the shell, the program or the rules themselves" "${bad[@]}"

mapfile -t bad < <(includes canvas core hero world replay shell server | grep -E '#include "(app|server)/' | grep -v '^server/')
breaks "a file outside the program or the server includes either" "${bad[@]}"

mapfile -t bad < <(includes canvas core hero world shell replay app server | grep -E '#include "\.\.?/')
breaks "a file reaches another room by a relative path" "${bad[@]}"

if [ "$failed" = 0 ]; then
    echo "every include keeps to its room"
fi
exit "$failed"
