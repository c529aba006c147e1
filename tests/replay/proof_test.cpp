#include <gtest/gtest.h>

#include <QFile>
#include <string>

#include "replay/proof.h"
#include "replay/recorded.h"
#include "replay/script.h"

namespace grimbolt {
namespace {

std::string header(const std::string& events) {
    return "recording 2\nrules 1\nseed 7\nscore 0\ndate 2026-12-08T10:00:00\nticks 0\n"
           "seconds 0\n" +
           events;
}

std::string repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

constexpr char kStart[] = "display 1920 1080\nwindow 1920 1080\npicture 1916 1034\nload\n";

// Every way a file can claim more than the rules give it from a real start: each is
// refused, with its reason; the real recording and a later game of its run are proven.
TEST(Proof, ForgedRecordingsAreRefusedWithTheirReasons) {
    const std::string real = recorded_game();
    struct Case {
        const char* what;
        std::string text;
        Verdict::Outcome outcome;
        std::string why;  // the start of the reason
    };
    const Case cases[] = {
        {"the real game", real, Verdict::Proven, ""},
        {"a boasted score", with(real, "score 1000", "score 1100"), Verdict::Differs,
         "the header says score 1100"},
        {"ticks the game did not have", with(real, "ticks 1294", "ticks 1"), Verdict::Differs,
         "the header says 1 ticks"},
        {"seconds it did not last", with(real, "seconds 251", "seconds 9"), Verdict::Differs,
         "the header says 9 seconds"},
        {"two scores", with(real, "score 1000", "score 999999\nscore 1000"), Verdict::Unreadable,
         "line 7: a second 'score' line"},
        {"no real date", with(real, "date ", "date 9999-99-99T99:99:99"), Verdict::Refused,
         "no real date"},
        {"a date before the rules", with(real, "date ", "date 0001-01-01T00:00:00"),
         Verdict::Refused, "no real date"},
        {"redraws in a window as wide as windows go",
         header(std::string(kStart) + "window 32767 1080\n" + repeated("paint 100\n", 41)),
         Verdict::Refused, "more than 400000 steps of play"},
        {"a later rules version", with(real, "rules 1", "rules 3"), Verdict::Refused,
         "played by rules version 3"},
        {"points earned under the first rules", with(real, "score 1000", "score 1000\nearned 900"),
         Verdict::Refused, "an 'earned' line in a recording of rules"},
        {"boasted points earned",
         with(with(with(header(std::string(kStart) + "tick 5\n"), "rules 1", "rules 2"), "score 0",
                   "score 0\nearned 100"),
              "ticks 0", "ticks 5"),
         Verdict::Differs, "the header says 100 points earned"},
        {"no rules version", with(real, "rules 1", ""), Verdict::Refused, "it names no version"},
        {"carried values", with(real, "seed 2", "seed 2\ncarry spawn_delay -2147483648"),
         Verdict::Refused, "it carries values"},
        {"no start", with(real, "load", ""), Verdict::Refused, "the run does not begin"},
        {"a state of zeros", header("tick 12\ndown 16 1\ntick 40\n"), Verdict::Refused,
         "the run does not begin"},
        {"a start without a display", header("load\ntick 5\n"), Verdict::Refused,
         "the program starts without"},
        {"two starts", header(std::string(kStart) + "tick 1\nload\n"), Verdict::Refused,
         "the program starts twice"},
        {"a new game without its clock", header(std::string(kStart) + "new\n"), Verdict::Refused,
         "a new game without its clock"},
        {"a clock set mid-game", header(std::string(kStart) + "clock 5\ntick 3\n"),
         Verdict::Refused, "the clock is set outside"},
        {"a tick in the speed dialog", header(std::string(kStart) + "speed\ntick 3\n"),
         Verdict::Refused, "a tick while the game's timer is stopped"},
        {"ticks on past the death", with(real, "ticks 1294", "ticks 9999") + "tick 8705\n",
         Verdict::Refused, "a tick while the game's timer is stopped"},
        {"a flat display", with(real, "display 800 800", "display 640 100"), Verdict::Refused,
         "a display of 640x100"},
        {"a tiny display", with(real, "display 800 800", "display 1 1"), Verdict::Refused,
         "a display of 1x1"},
        {"a display wider than 32:9", with(real, "display 800 800", "display 7680 2000"),
         Verdict::Refused, "a display of 7680x2000"},
        {"redraws asked in a narrow window, drawn in a wide one",
         header(std::string(kStart) +
                repeated("window 640 480\nok\nwindow 32767 32767\ntick\n", 2100)),
         Verdict::Refused, "more than 400000 steps of play"},
        {"past the steps of play", header(std::string(kStart) + "tick 1000000\n"), Verdict::Refused,
         "1000030 steps of play"},
        {"past the lines", header(std::string(kStart) + std::string(600'000, '\n')),
         Verdict::Refused, "more than 500000 lines"},
        {"past the size", header(std::string(9 << 20, '#')), Verdict::Refused, "larger than 8 MiB"},
        {"recorded before proofs were strict", with(real, "recording 2", "recording 1"),
         Verdict::Old, "recorded before proofs were strict"},
        {"a script written by hand", "load\ntick 5\n", Verdict::Unreadable, "not a recorded game"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Verdict v = verify(c.text);
        EXPECT_EQ(v.outcome, c.outcome) << v.why;
        EXPECT_EQ(v.why.substr(0, c.why.size()), c.why);
    }
    const Verdict v = verify(real);
    EXPECT_EQ(v.replayed, 1000);
    EXPECT_EQ(v.earned, 1000);  // it never shopped
    EXPECT_EQ(v.category, "slow");
    EXPECT_EQ(v.ticks, 1294);

    // What is proven is the last game of the run: its own ticks and seconds.
    const std::string later = header(std::string(kStart) + "tick 30\nclock 100\nnew\ntick 25\n");
    EXPECT_EQ(verify(later).outcome, Verdict::Differs);
    EXPECT_EQ(verify(with(with(later, "ticks 0", "ticks 25"), "seconds 0", "seconds 1")).outcome,
              Verdict::Proven);
}

TEST(Proof, TheCategoryIsTheSlowestTickAndTheComforts) {
    const std::string run = std::string(kStart) + "period 50\ntick 5\nperiod 20\ntick 5\n";
    EXPECT_EQ(verify(header(run)).category, "classic");
    EXPECT_EQ(verify(header(run + "period 51\ntick 1\n")).category, "slow");
    EXPECT_EQ(verify(header(run + "safe-start 1\ntick 1\n")).category, "classic+safe-start");
    // The fair start counts for the game it began.
    EXPECT_EQ(verify(header(run + "fair-start 1\ntick 1\n")).category, "classic");
    EXPECT_EQ(verify(header(run + "fair-start 1\nclock 9\nnew\ntick 1\n")).category,
              "classic+fair-start");
    // Only the last game counts: a slow game before it is no part of it.
    EXPECT_EQ(
        verify(header(run + "period 900\ntick 1\nperiod 50\nclock 9\nnew\ntick 1\n")).category,
        "classic");
}

// A file's name reaches the terminal with nothing in it that moves the cursor, colours
// the text or turns it round.
TEST(Proof, NamesArePrintedHarmless) {
    EXPECT_EQ(printable(QString::fromUtf8("a\x1b[31mb\u202Ec\nd\u00e9")),
              QString::fromUtf8("a\\x1b[31mb\\u202ec\\x0ad\u00e9"));
}

}  // namespace
}  // namespace grimbolt
