#include "shell/input/gamepad.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "app/script_player.h"
#include "core/keys.h"
#include "replay/script.h"
#include "shell/input/device_watch.h"
#include "shell/input/key_preview.h"
#include "shell/shown_window.h"
#include "virtual_pad.h"

namespace grimbolt {
namespace {

using testing::eventually;
using testing::Shown;
using testing::VirtualPad;

// The key events one source hands the main window: +code down, -code up.
std::vector<int> taken(QSignalSpy& downs, QSignalSpy& ups) {
    std::vector<int> keys;
    for (const QList<QVariant>& d : downs)
        keys.push_back(d[0].toInt());
    for (const QList<QVariant>& u : ups)
        keys.push_back(-u[0].toInt());
    downs.clear();
    ups.clear();
    return keys;
}

struct Rig {
    Shown shown;
    Gamepad pad;
    QSignalSpy pad_downs{&pad, &Gamepad::keyDown};
    QSignalSpy pad_ups{&pad, &Gamepad::keyUp};
    KeyPreview* preview = shown.window.findChild<KeyPreview*>();
    QSignalSpy key_downs{preview, &KeyPreview::keyDown};
    QSignalSpy key_ups{preview, &KeyPreview::keyUp};

    Rig() {
        EXPECT_TRUE(pad.start()) << pad.error().toStdString();
        shown.window.use_gamepad(pad);
    }
    Mainfrm& window() { return shown.window; }
    GameState& s() { return shown.window.game().s; }

    void click(VirtualPad& v, int button) {
        v.set(button, true);
        pad.poll();
        v.set(button, false);
        pad.poll();
    }
    // A button and the key it stands for give the window the same downs and ups.
    void same_as_key(VirtualPad& v, int button, Qt::Key key) {
        click(v, button);
        const std::vector<int> from_pad = taken(pad_downs, pad_ups);
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(from_pad, taken(key_downs, key_ups)) << "button " << button;
        EXPECT_EQ(from_pad.size(), 2u) << "button " << button;
    }
};

TEST(Gamepad, ButtonsAreTheKeysTheyStandForInPlayAndInTheShop) {
    struct sigaction interrupt_before = {};
    sigaction(SIGINT, nullptr, &interrupt_before);
    Rig rig;
    // Ctrl+C still ends the program: SDL keeps its hands off the signals.
    struct sigaction interrupt = {};
    sigaction(SIGINT, nullptr, &interrupt);
    EXPECT_EQ(interrupt.sa_handler, interrupt_before.sa_handler);
    VirtualPad v;
    rig.pad.poll();
    ASSERT_EQ(rig.pad.pads(), 1);
    rig.same_as_key(v, SDL_CONTROLLER_BUTTON_DPAD_LEFT, Qt::Key_Left);
    rig.same_as_key(v, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, Qt::Key_Right);
    rig.same_as_key(v, SDL_CONTROLLER_BUTTON_A, Qt::Key_Shift);
    rig.same_as_key(v, SDL_CONTROLLER_BUTTON_B, Qt::Key_X);
    rig.same_as_key(v, SDL_CONTROLLER_BUTTON_Y, Qt::Key_Z);

    // Held, B is the held X key: the jet burns until it is let go.
    v.set(SDL_CONTROLLER_BUTTON_B, true);
    rig.pad.poll();
    EXPECT_EQ(rig.s().flying, 1);
    v.set(SDL_CONTROLLER_BUTTON_B, false);
    rig.pad.poll();
    EXPECT_EQ(rig.s().flying, 0);

    // Start pauses and goes on, Back starts a new game: the F3 and F2 commands.
    ASSERT_TRUE(rig.window().Timer1().enabled());
    rig.click(v, SDL_CONTROLLER_BUTTON_START);
    EXPECT_FALSE(rig.window().Timer1().enabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    EXPECT_TRUE(rig.window().Timer1().enabled());
    rig.s().score = 700;
    rig.click(v, SDL_CONTROLLER_BUTTON_BACK);
    EXPECT_EQ(rig.s().score, 0);
    taken(rig.pad_downs, rig.pad_ups);
    taken(rig.key_downs, rig.key_ups);

    // The shop takes X, Y and B for 1, 2 and 3, and Start for Esc.
    rig.window().game().magazine();
    ASSERT_NE(rig.s().in_magazine, 0);
    rig.same_as_key(v, SDL_CONTROLLER_BUTTON_X, Qt::Key_1);
    rig.same_as_key(v, SDL_CONTROLLER_BUTTON_Y, Qt::Key_2);
    rig.same_as_key(v, SDL_CONTROLLER_BUTTON_B, Qt::Key_3);
    rig.click(v, SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(rig.s().in_magazine, 0);
    EXPECT_EQ(taken(rig.pad_downs, rig.pad_ups), (std::vector<int>{key::Esc, -key::Esc}));
}

TEST(Gamepad, PadsComeAndGoAndLetGoOfTheirKeys) {
    Rig rig;
    EXPECT_EQ(rig.pad.pads(), 0);
    const int looking = rig.pad.poll_interval_ms();
    {
        VirtualPad v;
        rig.pad.poll();
        EXPECT_EQ(rig.pad.pads(), 1);
        v.set(SDL_CONTROLLER_BUTTON_B, true);
        rig.pad.poll();
        EXPECT_EQ(rig.s().flying, 1);
    }
    // Pulled out with B held: the jet stops.
    rig.pad.poll();
    EXPECT_EQ(rig.pad.pads(), 0);
    EXPECT_EQ(rig.s().flying, 0);
    EXPECT_EQ(rig.pad.poll_interval_ms(), looking);
    taken(rig.pad_downs, rig.pad_ups);

    // Two pads, the D-pad of one and the stick of the other hold one arrow: one press.
    VirtualPad first;
    VirtualPad second;
    rig.pad.poll();
    EXPECT_EQ(rig.pad.pads(), 2);
    first.set(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    second.stick(-10000);  // not yet past the dead zone
    rig.pad.poll();
    second.stick(-13000);
    rig.pad.poll();
    first.set(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    second.stick(-9000);  // still held: the stick lets go below the dead zone
    rig.pad.poll();
    EXPECT_EQ(rig.s().walking, 1);
    second.stick(32767);  // straight over to the right
    rig.pad.poll();
    second.stick(0);
    rig.pad.poll();
    EXPECT_EQ(taken(rig.pad_downs, rig.pad_ups),
              (std::vector<int>{key::Left, key::Right, -key::Left, -key::Right}));
    EXPECT_EQ(rig.s().walking, 0);

    // Held A fires again at the keyboard's repeat rate.
    first.set(SDL_CONTROLLER_BUTTON_A, true);
    rig.pad.poll();
    EXPECT_TRUE(eventually([&] { return rig.pad_downs.count() >= 3; }));
    first.set(SDL_CONTROLLER_BUTTON_A, false);
    rig.pad.poll();
    EXPECT_EQ(rig.pad_ups.count(), 1);
    // A virtual pad has no device node to wake the program: it is read on a clock, often
    // while played and less once it rests.
    const int played = rig.pad.poll_interval_ms();
    EXPECT_LT(played, looking);
    EXPECT_TRUE(eventually([&] { return rig.pad.poll_interval_ms() > played; }));
    EXPECT_LT(rig.pad.poll_interval_ms(), looking);

    // Another window in front: the pad leaves the game alone, as the keyboard does.
    taken(rig.pad_downs, rig.pad_ups);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    rig.click(first, SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(taken(rig.pad_downs, rig.pad_ups).empty());
}

// The player's buttons: a trigger fires, a shoulder is the jet, Y calls the help, and A
// buys in the shop while it still fires in play. The game hears the keys it always did.
TEST(Gamepad, ThePlayersButtonsSendTheGamesOwnKeys) {
    Rig rig;
    PadBindings mine = PadBindings::classic();
    mine.button[std::size_t(Action::Fire)] = pad::RightTrigger;
    mine.button[std::size_t(Action::Jet)] = pad::LeftShoulder;
    mine.button[std::size_t(Action::Gun)] = pad::A;
    mine.button[std::size_t(Action::Help)] = pad::Y;
    mine.button[std::size_t(Action::BuyRate)] = pad::A;
    rig.pad.set_bindings(mine);
    VirtualPad v;
    rig.pad.poll();
    v.trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 12000);  // not half way yet
    rig.pad.poll();
    v.trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 20000);
    rig.pad.poll();
    v.trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 9000);  // held until under a quarter
    rig.pad.poll();
    v.trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
    rig.pad.poll();
    EXPECT_EQ(taken(rig.pad_downs, rig.pad_ups), (std::vector<int>{key::Shift, -key::Shift}));
    rig.click(v, SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
    rig.click(v, SDL_CONTROLLER_BUTTON_A);
    rig.click(v, SDL_CONTROLLER_BUTTON_B);  // no longer anything in play
    EXPECT_EQ(taken(rig.pad_downs, rig.pad_ups),
              (std::vector<int>{key::X, key::Z, -key::X, -key::Z}));
    QSignalSpy commands(&rig.pad, &Gamepad::command);
    rig.click(v, SDL_CONTROLLER_BUTTON_Y);
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands[0][0].value<Action>(), Action::Help);
    EXPECT_NE(rig.window().helpfrm(), nullptr);
    rig.window().helpfrm()->close();
    rig.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rig.window()));
    rig.window().game().magazine();
    rig.click(v, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(taken(rig.pad_downs, rig.pad_ups), (std::vector<int>{key::One, -key::One}));

    // A dialog in front has the pad's buttons, as it has the keyboard.
    QDialog front(&rig.window());
    front.setModal(true);
    front.show();
    rig.s().score = 700;
    rig.click(v, SDL_CONTROLLER_BUTTON_BACK);
    EXPECT_EQ(rig.s().score, 700);
}

// A FIFO stands in for a pad's device node.
TEST(DeviceWatch, WakesWhenTheNodeSpeaksAndLetsGoOfOneThatEnds) {
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("pad")).toLocal8Bit();
    ASSERT_EQ(mkfifo(path.constData(), 0600), 0);
    DeviceWatch watch(QString::fromLocal8Bit(path));
    ASSERT_TRUE(watch.watching());
    QSignalSpy ready(&watch, &DeviceWatch::ready);
    const int writer = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const char event[48] = {};
    ASSERT_EQ(::write(writer, event, sizeof event), ssize_t(sizeof event));
    EXPECT_TRUE(eventually([&] { return ready.count() == 1; }));
    QTest::qWait(50);
    EXPECT_EQ(ready.count(), 1);  // all of it read: no second wake
    ::close(writer);
    EXPECT_TRUE(eventually([&] { return !watch.watching(); }));
    EXPECT_FALSE(DeviceWatch(dir.filePath(QStringLiteral("none"))).watching());
}

// The whole scripted game of the golden replay, its keys and its new games and pauses
// played on a pad: the game cannot tell, so it ends in the very same state and picture.
TEST(Gamepad, APadPlaysTheWholeScriptedGameShopIncluded) {
    QFile file(QStringLiteral(GRIMBOLT_REPLAYS "/whole_game.script"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const Script script = parse_script(file.readAll().toStdString());
    ReplaySetup options;
    options.seed = 2;
    ScriptPlayer player(options);
    Gamepad pad;
    ASSERT_TRUE(pad.start());
    player.window()->use_gamepad(pad);
    VirtualPad v;
    pad.poll();
    ASSERT_TRUE(eventually([&] { return player.window()->isActiveWindow(); }));

    // The button that sends a key, in play and in the shop; none where no button does.
    constexpr int none = SDL_CONTROLLER_BUTTON_INVALID;
    const std::map<int, std::pair<int, int>> buttons{
        {key::Left, {SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_LEFT}},
        {key::Right, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT}},
        {key::Shift, {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_A}},
        {key::X, {SDL_CONTROLLER_BUTTON_B, none}},
        {key::Z, {SDL_CONTROLLER_BUTTON_Y, none}},
        {key::One, {none, SDL_CONTROLLER_BUTTON_X}},
        {key::Two, {none, SDL_CONTROLLER_BUTTON_Y}},
        {key::Three, {none, SDL_CONTROLLER_BUTTON_B}},
        {key::Esc, {none, SDL_CONTROLLER_BUTTON_START}},
    };
    const auto button_for = [&](int code, bool shop) {
        const auto it = buttons.find(code);
        return it == buttons.end() ? none : shop ? it->second.second : it->second.first;
    };
    // Which button holds which key now; keys whose release does nothing are tapped.
    std::map<int, int> held;
    const auto set = [&](int button, bool down) {
        v.set(button, down);
        pad.poll();
        player.settle();
    };
    int by_pad = 0;
    int shop_buys = 0;
    bool saw_shop = false;
    for (const ScriptEvent& e : script.events) {
        const bool shop = player.window()->game().s.in_magazine != 0;
        saw_shop |= shop;
        const int button = e.command == Command::NewGame          ? SDL_CONTROLLER_BUTTON_BACK
                           : e.command == Command::Pause && !shop ? SDL_CONTROLLER_BUTTON_START
                           : e.command == Command::KeyDown        ? button_for(e.a, shop)
                                                                  : SDL_CONTROLLER_BUTTON_INVALID;
        if (e.command == Command::KeyUp && held.count(e.a) != 0) {
            set(held[e.a], false);
            held.erase(e.a);
            ++by_pad;
        } else if (button == SDL_CONTROLLER_BUTTON_INVALID) {
            player.play(e);  // the rest of the script: ticks, dialogs, idle keys
        } else if (e.command == Command::KeyDown &&
                   (e.a == key::Left || e.a == key::Right || e.a == key::X)) {
            if (held.count(e.a) != 0)
                set(held[e.a], false);  // the keyboard's repeat of a held key
            set(button, true);
            held[e.a] = button;
            ++by_pad;
        } else {
            set(button, true);
            set(button, false);
            ++by_pad;
            shop_buys += shop && e.a >= key::One && e.a <= key::Three;
        }
    }
    EXPECT_TRUE(saw_shop);
    EXPECT_GE(shop_buys, 3);
    EXPECT_GE(by_pad, 1000);
    EXPECT_EQ(player.state_hash(), 0xb0e8aa93601921c8ULL);
    EXPECT_EQ(player.pixel_hash(), 0x6a51fdfc62501545ULL);
}

}  // namespace
}  // namespace grimbolt
