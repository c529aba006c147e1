#include <gtest/gtest.h>

#include <QDateTime>
#include <QPlainTextEdit>
#include <QTest>

#include "app/answers.h"
#include "app/enhanced.h"
#include "replay/proof.h"
#include "replay/recorder.h"
#include "replay/state_hash.h"
#include "shell/shown_window.h"

namespace grimbolt {
namespace {

struct Played {
    std::vector<ScriptEvent> events;
    std::uint64_t state = 0;
    Verdict::Outcome proof = Verdict::Differs;
};

// A short game in the enhanced edition, its keys pressed on the keyboard: walking,
// shooting and the jet, every key through the window's key preview.
Played play(const KeyBindings& keys, Qt::Key fire, Qt::Key jet) {
    SystemRandom random;
    GameClock clock;
    clock.restart(30000);
    random.reseed(30000);
    Mainfrm w(random, clock);
    w.Timer1().set_held(true);
    Options options;
    options.keys = keys;
    new Enhanced(w, options);
    Recorder recorder(w.game(), clock);
    recorder.now = [] { return QDateTime(QDate(2026, 12, 8), QTime(20, 0)); };
    w.add_tap(recorder);
    recorder.begin();
    w.show_maximized();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    QWidget* view = w.view();
    QTest::keyPress(view, Qt::Key_Right);
    for (int i = 0; i < 90; ++i) {
        if (i % 9 == 0)
            QTest::keyPress(view, fire);
        if (i % 9 == 1)
            QTest::keyRelease(view, fire);
        if (i == 30)
            QTest::keyPress(view, jet);
        if (i == 45)
            QTest::keyRelease(view, jet);
        w.elapse_period();
    }
    QTest::keyRelease(view, Qt::Key_Right);
    const Recording r = recorder.current();
    return {r.events, state_hash(w.game().s), verify(r.text()).outcome};
}

// The recorder writes the game's own keys: a game played with other keys is the same
// game, recorded the same.
TEST(Rebinding, AGameWithThePlayersKeysIsRecordedAsWithTheClassicKeys) {
    const Played classic = play(KeyBindings::classic(), Qt::Key_Shift, Qt::Key_X);
    KeyBindings mine = KeyBindings::classic();
    mine.of(Action::Fire) = {BoundKey{Qt::Key_Space, 0}, BoundKey{}};
    mine.of(Action::Jet) = {BoundKey{Qt::Key_Up, 0}, BoundKey{}};
    const Played rebound = play(mine, Qt::Key_Space, Qt::Key_Up);
    EXPECT_EQ(rebound.events, classic.events);
    EXPECT_EQ(rebound.state, classic.state);
    EXPECT_EQ(rebound.proof, Verdict::Proven);
    const std::string text = format_script(classic.events);
    EXPECT_NE(text.find("down 16"), std::string::npos) << text;
    EXPECT_NE(text.find("down 88"), std::string::npos) << text;
}

// The help window and the command line's help tell the player's keys.
TEST(Rebinding, TheHelpTellsThePlayersKeys) {
    KeyBindings mine = KeyBindings::classic();
    mine.of(Action::Fire) = {BoundKey{Qt::Key_Space, 0}, BoundKey{Qt::Key_Control, 0}};
    const QString help = with_keys(
        "Keys:\n  Shift             fire\n  F11               full screen\n\nA proven score", mine);
    EXPECT_TRUE(help.contains("  Space, Control    fire\n")) << help.toStdString();
    EXPECT_FALSE(help.contains("Shift")) << help.toStdString();
    EXPECT_TRUE(help.endsWith("\nA proven score")) << help.toStdString();

    testing::Shown shown;
    Options options;
    options.keys = mine;
    new Enhanced(shown.window, options);
    shown.window.How_to_play->trigger();
    ASSERT_NE(shown.window.helpfrm(), nullptr);
    const QString text = shown.window.helpfrm()->Text1()->toPlainText();
    EXPECT_TRUE(text.contains("Огонь — Space, Control")) << text.toStdString();
    EXPECT_TRUE(text.startsWith("Grimbolt (гримболт).")) << "the game's own help comes first";
}

}  // namespace
}  // namespace grimbolt
