#pragma once
// Proving a recorded score. A proven score is one the game's own rules give for the
// recorded inputs, from the state a real start of the program gives, on a real screen,
// at the recorded speed. It does not say that a person played: a program can play too.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "replay/script.h"

namespace grimbolt {

// What playing a recording again gave.
struct Verdict {
    enum Outcome {
        Proven,      // the rules give the recorded score, points, ticks and seconds
        Differs,     // they give others
        Old,         // recorded before proofs were strict: listed, never proven
        Refused,     // no proof: a forged start, a screen no one has, past the limits...
        Unreadable,  // not a recorded game at all
    } outcome = Unreadable;
    std::int32_t recorded = 0;  // the score the header claims
    std::int32_t replayed = 0;  // the score the rules gave
    std::int32_t earned = 0;    // the points the last game earned, as played again
    std::int32_t ticks = 0;     // the last game's, as played again
    std::int32_t seconds = 0;
    std::int64_t steps = 0;  // of play, as counted while proving
    std::string category;    // the slowest speed and the comforts that change play
    std::string date;        // when it was played, as its header says
    // The play itself, in one number: the clock the last game started at and the ticks
    // at which its points came. Two recordings of one play (re-dated, commented, shown
    // on another display, with idle keys or a comfort that changed nothing, cut after its
    // last points) have the same, whatever their categories.
    std::uint64_t fingerprint = 0;
    std::string why;  // what keeps it from being proven
};

Verdict verify(std::string_view text);

// The category of a game: "classic" when every tick came at the default 50 ms or
// faster, "slow" when any came slower; "+safe-start" when the safe start was on, and
// "+fair-start" when the game began with the fair start.
std::string category_of(std::int32_t slowest_period, bool safe_start, bool fair_start = false);
inline constexpr std::string_view kHeadline = "classic";

// A recording, or a script written by hand, as read from its file.
struct RecordingFile {
    bool read = false;
    QByteArray bytes;  // the file's bytes: what a proof plays
    QString why;       // why it could not be read
    std::string_view text() const { return {bytes.constData(), std::size_t(bytes.size())}; }
    // What the text says: its header and events, and the lines that were skipped.
    Script script() const { return parse_script(text()); }
};

// Reads a recording as every reader does: from a regular file only, never more than the
// largest recording, and through a link only when `follow_links`.
RecordingFile read_recording(const QString& path, bool follow_links = true);

// A file's name as it can be put on a terminal: control characters as \xNN.
QString printable(const QString& text);

}  // namespace grimbolt
