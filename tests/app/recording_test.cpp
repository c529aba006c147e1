#include <gtest/gtest.h>

#include <random>

#include "app/script_player.h"
#include "core/keys.h"
#include "replay/proof.h"
#include "replay/session.h"
#include "replay/state_hash.h"
#include "shell/mainfrm.h"

namespace grimbolt {
namespace {

// A player who does a bit of everything: walks, flies, shoots, pauses, changes the speed,
// resizes the window, moves it to other displays, opens the help, starts new games and
// now and then quits and starts the program again.
std::vector<ScriptEvent> busy_player(std::uint32_t seed, int count) {
    std::mt19937 random(seed);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::int32_t keys[] = {key::Left, key::Right, key::X, key::Z,  key::Shift,
                                 49,        50,         51,     key::Esc};
    std::vector<ScriptEvent> events;
    for (int i = 0; i < count; ++i) {
        const int roll = pick(0, 99);
        const std::int32_t code = keys[pick(0, 8)];
        if (roll < 45)
            events.push_back({Command::Tick, pick(1, 12), 0});
        else if (roll < 65)
            events.push_back({Command::KeyDown, code, code == key::Shift ? 1 : 0});
        else if (roll < 80)
            events.push_back({Command::KeyUp, code, 0});
        else if (roll < 84)
            events.push_back({Command::Paint, pick(1, 3), 0});
        else if (roll < 86)
            events.push_back({Command::Pause, 0, 0});
        else if (roll < 89) {
            events.push_back({Command::Speed, 0, 0});
            events.push_back({Command::Slider, pick(1900, 1990), 0});
            events.push_back({Command::Ok, 0, 0});
        } else if (roll < 91)
            events.push_back({Command::NewGame, 0, 0});
        else if (roll < 93)
            events.push_back({Command::Resize, pick(200, 900), pick(150, 700)});
        else if (roll < 94)
            events.push_back({Command::Display, pick(1024, 1920), pick(768, 1200)});
        else if (roll < 96) {
            events.push_back({Command::Help, 0, 0});
            events.push_back({Command::HelpClose, 0, 0});
        } else if (roll < 99)
            events.push_back({Command::Activate, 0, 0});
        else
            events.push_back({Command::Exit, 0, 0});  // and the program starts again
    }
    return events;
}

// Every game the enhanced edition records, played again from its file alone, ends in
// the state the game itself ended in and proves its score: a game after others in the
// same run reaches what they left behind by playing them, and sizes, speed and safe
// start are read as they were.
TEST(Recording, EveryRecordedGamePlaysAgainToTheSameState) {
    for (const std::uint32_t seed : {5u, 77u}) {
        ReplaySetup options;
        options.seed = std::int32_t(seed) * 1000;
        options.display = QSize(1024, 768);
        options.enhanced = true;
        options.record = true;
        options.options.safe_start = seed == 77;
        std::vector<RecordedGame> games;
        {
            ScriptPlayer player(options);
            player.play(busy_player(seed, 1500));
            player.play(ScriptEvent{Command::Exit, 0, 0});
            games = player.recorded();
        }
        ASSERT_GE(games.size(), 4u) << seed;
        int carried_over = 0;
        for (const RecordedGame& g : games) {
            const std::string text = g.recording.text();
            const Script script = parse_script(text);
            ASSERT_TRUE(script.errors.empty()) << script.errors.front();
            EXPECT_EQ(script.header, g.recording.header);
            // Drawn, as when watched, and undrawn, as when proven.
            for (const bool drawn : {true, false}) {
                Session session(script.header, drawn);
                session.play(script.events);
                EXPECT_EQ(state_hash(session.game().s), g.state_hash)
                    << g.recording.name.toStdString() << (drawn ? " drawn" : " undrawn");
            }
            const Verdict v = verify(text);
            EXPECT_EQ(v.outcome, Verdict::Proven) << v.why;
            EXPECT_EQ(v.replayed, g.recording.header.score);
            EXPECT_EQ(v.category.ends_with("+safe-start"), seed == 77) << v.category;
            carried_over += text.find("\nnew\n") != std::string::npos;
        }
        EXPECT_GT(carried_over, 0);
    }
}

}  // namespace
}  // namespace grimbolt
