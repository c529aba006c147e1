#pragma once
// The hall's storage tests keep games by what their headers claim, so that any score
// can be made in a moment; proving itself is tested with real recordings.

#include <string_view>

#include "replay/proof.h"
#include "replay/recording.h"
#include "replay/script.h"

namespace grimbolt {

inline Verdict claimed(std::string_view text) {
    const Script script = parse_script(text);
    Verdict v;
    if (script.header.recording != 2 || !script.errors.empty())
        return v;
    v.outcome = Verdict::Proven;
    v.recorded = v.replayed = script.header.score;
    v.earned = script.header.has_earned ? script.header.earned : script.header.score;
    v.ticks = script.header.ticks;
    v.seconds = script.header.seconds;
    v.category = "classic";
    return v;
}

// A game of the hall's tests: the header says it all.
// It earned its score unless it says what it earned.
inline Recording claimed_game(const QString& name, std::int32_t score, std::int32_t ticks = 40,
                              std::int32_t earned = -1) {
    Recording r;
    r.name = name;
    r.header.recording = 2;
    r.header.rules = 1;
    r.header.has_seed = true;
    r.header.seed = 7;
    r.header.score = score;
    r.header.has_earned = earned >= 0;
    r.header.earned = earned;
    r.header.date = "2026-12-08T10:00:00";
    r.header.ticks = ticks;
    r.header.seconds = 2;
    r.events = {{Command::Load, 0, 0}, {Command::Tick, ticks, 0}};
    return r;
}

}  // namespace grimbolt
