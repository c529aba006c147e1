#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>

#include "app/script_player.h"
#include "replay/script.h"
#include "replay/session.h"
#include "replay/state_hash.h"
#include "shell/mainfrm.h"
#include "shell/surface_view.h"

namespace grimbolt {
namespace {

std::string read_replay(const char* name) {
    QFile file(QStringLiteral(GRIMBOLT_REPLAYS) + QLatin1Char('/') + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll().toStdString();
}

TEST(ScriptFormat, EveryEventReadsBackAsItWasWritten) {
    const std::vector<ScriptEvent> events{
        {Command::Tick, 1, 0},      {Command::Tick, 250, 0},     {Command::KeyDown, 255, 7},
        {Command::KeyUp, 0, 0},     {Command::NewGame, 0, 0},    {Command::Pause, 0, 0},
        {Command::Exit, 0, 0},      {Command::Music, 0, 0},      {Command::Speed, 0, 0},
        {Command::Slider, 2000, 0}, {Command::Ok, 0, 0},         {Command::Help, 0, 0},
        {Command::HelpClose, 0, 0}, {Command::Credits, 0, 0},    {Command::CreditsClose, 0, 0},
        {Command::Paint, 1, 0},     {Command::Paint, 5, 0},      {Command::Resize, 0, 4320},
        {Command::Activate, 0, 0},  {Command::Display, 7680, 1}, {Command::Period, 2001, 0},
        {Command::SafeStart, 1, 0}, {Command::Window, 32767, 0}, {Command::Picture, 1, 2},
        {Command::Load, 0, 0},      {Command::FairStart, 1, 0},
    };
    const Script back = parse_script(format_script(events));
    EXPECT_TRUE(back.errors.empty());
    EXPECT_EQ(back.events, events);
}

// A recording's header reads back as written; a bad header line is reported and kept
// out of the header.
TEST(ScriptFormat, TheHeaderOfARecordingReadsBack) {
    ScriptHeader h{1,
                   1,
                   true,
                   86399,
                   -300,
                   true,
                   1200,
                   "2026-12-08T21:05:00",
                   12000,
                   600,
                   {{"walking", "1"}, {"vrag", "12", "4095.25", "259", "-1"}}};
    const Script back = parse_script(format_header(h) + "tick 3\n");
    EXPECT_TRUE(back.errors.empty());
    EXPECT_EQ(back.header, h);
    EXPECT_EQ(back.events, (std::vector<ScriptEvent>{{Command::Tick, 3, 0}}));

    const Script bad = parse_script(
        "recording 3\nseed 86400\nscore 1 2\ndate 8 Dec\ndate \xd0\xbf\ncarry\n"
        "carry Walking 1\ncarry walking 1;\nseed 12\n");
    EXPECT_EQ(bad.errors.size(), 9u);
    EXPECT_EQ(bad.errors[1], "line 2: a bad value for 'seed'");
    // One line of each kind: a second one is an error, whatever the first was.
    EXPECT_EQ(bad.errors[8], "line 9: a second 'seed' line");
    EXPECT_EQ(bad.header.recording, 0);
    EXPECT_FALSE(bad.header.has_seed);
    EXPECT_TRUE(bad.header.date.empty() && bad.header.carry.empty());
}

TEST(ScriptFormat, BadLinesAreSkippedAndReportedWithTheirNumbers) {
    const Script s = parse_script(
        "tick 3 # three periods\r\n"
        "\n"
        "jump\n"
        "down 256\n"
        "down -1\n"
        "slider 12x\n"
        "resize 10\n"
        "display 0 100\n"
        "tick 99999999999\n"
        "tick 0\n"
        "  up\t39  \n"
        "paint 0\n");
    EXPECT_EQ(s.events, (std::vector<ScriptEvent>{{Command::Tick, 3, 0}, {Command::KeyUp, 39, 0}}));
    ASSERT_EQ(s.errors.size(), 9u);
    EXPECT_EQ(s.errors[0], "line 3: unknown event 'jump'");
    EXPECT_EQ(s.errors[1], "line 4: out of range: 256");
    EXPECT_EQ(s.errors[3], "line 6: not a number: '12x'");
    EXPECT_EQ(s.errors.back(), "line 12: out of range: 0");

    // A broken file's bytes are quoted escaped and cut, so none reaches a terminal raw.
    const Script bytes = parse_script(std::string("\x1b[2J\x9b\x01\\ 1\n") + "down \x07" +
                                      std::string(300, '7') + "\n" + "\xd0\xbf\n");
    ASSERT_EQ(bytes.errors.size(), 3u);
    EXPECT_EQ(bytes.errors[0], "line 1: unknown event '\\x1b[2J\\x9b\\x01\\x5c'");
    EXPECT_EQ(bytes.errors[1], "line 2: not a number: '\\x07" + std::string(39, '7') + "...'");
    EXPECT_EQ(bytes.errors[2], "line 3: unknown event '\\xd0\\xbf'");
}

// A replay, with what it saw on the way.
struct Replay {
    std::uint64_t state = 0;
    std::uint64_t pixels = 0;
    bool saw_shop = false;
    bool saw_death = false;
};

Replay replay(const char* name, std::int32_t seed, bool enhanced = false) {
    const Script script = parse_script(read_replay(name));
    EXPECT_TRUE(script.errors.empty());
    ReplaySetup options;
    options.seed = seed;
    options.enhanced = enhanced;
    ScriptPlayer player(options);
    Replay r;
    for (const ScriptEvent& e : script.events) {
        player.play(e);
        if (player.window() == nullptr)
            continue;
        const GameState& s = player.window()->game().s;
        r.saw_shop |= s.in_magazine != 0;
        // Death is the only thing that stops the timer with the dialog hidden and the
        // pause command unused.
        r.saw_death |= !player.window()->Timer1().enabled() && s.in_magazine == 0 &&
                       !player.window()->Okbut()->isVisible() && e.command != Command::Pause;
    }
    r.state = player.state_hash();
    r.pixels = player.pixel_hash();
    return r;
}

// Recorded from these scripts; a change to any rule or any drawing changes them. The
// enhanced edition with every comfort off plays them to the same hashes.
TEST(GoldenReplay, AWholeGameWithAShopVisitAndADeath) {
    for (const bool enhanced : {false, true}) {
        SCOPED_TRACE(enhanced ? "enhanced" : "classic");
        const Replay r = replay("whole_game.script", 2, enhanced);
        EXPECT_TRUE(r.saw_shop);
        EXPECT_TRUE(r.saw_death);
        EXPECT_EQ(r.state, 0xb0e8aa93601921c8ULL);
        EXPECT_EQ(r.pixels, 0x6a51fdfc62501545ULL);
    }
}

TEST(GoldenReplay, TheWindowsAroundTheGame) {
    const Replay first = replay("windows.script", 7);
    EXPECT_EQ(first.state, 0xd1e49290af9dcdd6ULL);
    EXPECT_EQ(first.pixels, 0x9107ae553bbe6c55ULL);
    const Replay enhanced = replay("windows.script", 7, true);
    EXPECT_EQ(enhanced.state, first.state);
    EXPECT_EQ(enhanced.pixels, first.pixels);
    const Replay again = replay("windows.script", 7);
    EXPECT_EQ(again.state, first.state);
    EXPECT_EQ(again.pixels, first.pixels);
    EXPECT_NE(replay("windows.script", 8).state, first.state);
}

TEST(ScriptPlayer, DoesOnlyWhatAPlayerCouldDo) {
    ScriptPlayer player;
    Mainfrm* w = player.window();
    ASSERT_NE(w, nullptr);
    // The dialog's controls cannot be used while it is hidden.
    player.play({Command::Pause, 0, 0});
    player.play({Command::Ok, 0, 0});
    player.play({Command::Slider, 100, 0});
    EXPECT_FALSE(w->Timer1().enabled());
    EXPECT_EQ(w->Timer1().interval(), 50);
    // A held timer never ticks by itself: only tick events move the game on.
    player.play({Command::Pause, 0, 0});
    const std::uint64_t before = state_hash(w->game().s);
    player.play({Command::Paint, 1, 0});
    EXPECT_EQ(state_hash(w->game().s), before);
    EXPECT_TRUE(w->game().paramspic.visible);
    // A burst of paint requests makes one paint event, and the panel ends up shown.
    player.play({Command::Paint, 4, 0});
    EXPECT_TRUE(w->game().paramspic.visible);
    // After an exit the next event starts the program again.
    player.play({Command::Exit, 0, 0});
    EXPECT_EQ(player.window(), nullptr);
    player.play({Command::Tick, 3, 0});
    ASSERT_NE(player.window(), nullptr);
    EXPECT_EQ(player.starts(), 2);
}

}  // namespace
}  // namespace grimbolt

namespace grimbolt {
namespace {

TEST(ScriptPlayer, ANewGameOnASmallerDisplayFitsThePictureAgain) {
    ScriptPlayer player;
    player.play(parse_script("display 1024 768\nnew\ntick 5\ndisplay 640 480\n").events);
    Mainfrm* w = player.window();
    // The old game's tile row lies below the new display's window: shrunk to show it.
    EXPECT_LT(w->scale(), 1.0);
    player.play({Command::NewGame, 0, 0});
    EXPECT_EQ(w->scale(), 1.0);
    EXPECT_EQ(w->game().screen.width_px(), w->view()->width());
    EXPECT_EQ(w->game().screen.height_px(), w->view()->height());
}

}  // namespace
}  // namespace grimbolt

namespace grimbolt {
namespace {

// A watcher plays the earlier games of a run undrawn and draws the last one: the game
// ends as it does drawn all the way, and its picture is there to be seen.
TEST(Session, DrawnFromTheLastGameEndsAsDrawnAllTheWay) {
    const Script script = parse_script(read_replay("recorded_game.script") +
                                       "clock 300\nnew\ntick 40\ndown 16 1\ntick 20\n");
    ASSERT_TRUE(script.errors.empty());
    Session whole(script.header);
    whole.play(script.events);
    Session watched(script.header, false);
    std::size_t i = 0;
    for (; script.events[i].command != Command::NewGame; ++i)
        watched.play(script.events[i]);
    watched.draw_from_here();
    for (; i < script.events.size(); ++i)
        watched.play(script.events[i]);
    EXPECT_EQ(state_hash(watched.game().s), state_hash(whole.game().s));
    EXPECT_GT(watched.game().screen.width_px(), 0);
    EXPECT_GT(watched.game().paramspic.surface.width_px(), 0);
}

}  // namespace
}  // namespace grimbolt
