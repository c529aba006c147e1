#pragma once
// One recorded game, with the run of the program before it: what the recorder hands
// over when a game ends, and what the hall keeps as a file of its own.

#include <QString>
#include <string>
#include <vector>

#include "replay/script.h"

namespace grimbolt {

struct Recording {
    ScriptHeader header;
    std::vector<ScriptEvent> events;
    QString name;  // the same for every offer of one game: where the hall keeps it
    std::string text() const { return format_header(header) + format_script(events); }
};

}  // namespace grimbolt
