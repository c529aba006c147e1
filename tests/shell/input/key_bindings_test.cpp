#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <vector>

#include "core/keys.h"
#include "shell/input/key_preview.h"
#include "shell/input/pad_bindings.h"

namespace grimbolt {
namespace {

// Long enough for the first repeat and a few after it.
constexpr int kRepeatWaitMs = 650;

// A window whose keys the player rebound: fire on Space, the jet on X and Up, the gun
// by the place of the classic's Z (X11 key code 52).
struct Rebound {
    QWidget window;
    KeyPreview preview{&window};
    KeyBindings keys = KeyBindings::classic();
    QSignalSpy downs{&preview, &KeyPreview::keyDown};
    QSignalSpy ups{&preview, &KeyPreview::keyUp};
    QSignalSpy commands{&preview, &KeyPreview::command};

    Rebound() {
        keys.of(Action::Fire) = {BoundKey{Qt::Key_Space, 0}, BoundKey{}};
        keys.of(Action::Jet) = {BoundKey{Qt::Key_X, 0}, BoundKey{Qt::Key_Up, 0}};
        keys.of(Action::Gun) = {BoundKey{Qt::Key_Z, 52}, BoundKey{}};
        keys.of(Action::NewGame) = {BoundKey{Qt::Key_N, 57}, BoundKey{}};
        preview.set_bindings(&keys);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void key(QEvent::Type type, int qt_key, quint32 scan, bool repeat = false) {
        QKeyEvent e(type, qt_key, Qt::NoModifier, scan, 0, 0, QString(), repeat);
        QApplication::sendEvent(&window, &e);
    }
    void click(int qt_key, quint32 scan) {
        key(QEvent::KeyPress, qt_key, scan);
        key(QEvent::KeyRelease, qt_key, scan);
    }
    std::vector<int> codes() const {
        std::vector<int> out;
        for (int i = 0; i < downs.count(); ++i)
            out.push_back(downs.at(i).at(0).value<std::int16_t>());
        return out;
    }
};

TEST(KeyBindings, TheGameHearsItsOwnKeysFromThePlayersKeys) {
    Rebound r;
    r.click(Qt::Key_Space, 65);
    r.click(Qt::Key_Up, 111);
    r.click(Qt::Key_X, 53);
    r.click(Qt::Key_Shift, 50);  // fire has left Shift: the game does not hear it
    r.click(Qt::Key_A, 38);      // nor a key of no action
    EXPECT_EQ(r.codes(), (std::vector<int>{key::Shift, key::X, key::X}));
    EXPECT_EQ(r.ups.count(), 3);
    // A key bound by place stays where it is on another layout (AZERTY's W sits at 52);
    // a key bound by letter follows its letter (QWERTZ's X is still at 53, its Z at 29).
    r.downs.clear();
    r.click(Qt::Key_W, 52);
    r.click(Qt::Key_Z, 29);
    r.click(Qt::Key_X, 53);
    EXPECT_EQ(r.codes(), (std::vector<int>{key::Z, key::X}));
    // A command of the window bound by place is the preview's to give; by letter it is
    // the menu item's shortcut.
    r.click(Qt::Key_B, 57);
    ASSERT_EQ(r.commands.count(), 1);
    EXPECT_EQ(r.commands.at(0).at(0).value<Action>(), Action::NewGame);
}

// A key is bound only when the settings file gives it back as itself, by a name a
// person can read; F10 is the menus'.
TEST(KeyBindings, OnlyKeysThatReadBackAsThemselvesAreBound) {
    for (const int key : {int(Qt::Key_AltGr), int(Qt::Key_Dead_Circumflex), int(Qt::Key_Multi_key),
                          0x17C4, 0x200B, 0xA0, 0xFF, int(Qt::Key_F10)})
        EXPECT_FALSE(bindable(BoundKey{key, 0})) << std::hex << key;
    for (const int key : {int(Qt::Key_Space), int(Qt::Key_Control), int(Qt::Key_Comma),
                          int(Qt::Key_F2), int(Qt::Key_Q), 0x416 /* Ж */})
        EXPECT_TRUE(bindable(BoundKey{key, 0})) << std::hex << key;
    EXPECT_TRUE(bindable(BoundKey{Qt::Key_AltGr, 108})) << "by its place it is written as one";
}

// Every button a player can bind is written by a name that reads back as itself.
TEST(PadBindings, EveryButtonReadsBackAsItself) {
    for (int b = pad::None; b < pad::Buttons; ++b)
        EXPECT_EQ(pad_from_text(pad_text(b)), b) << pad_text(b).toStdString();
    for (const char* word : {"", "A", "stick", "leftx", "dpleft2"})
        EXPECT_FALSE(pad_from_text(QString::fromLatin1(word))) << word;
}

// The desktop repeats no modifier key: a held fire key fires again at its pace, until
// it is let go, and leaves the repeating to the desktop where it repeats the key itself.
TEST(KeyBindings, AHeldFireKeyFiresAgainInEitherEdition) {
    for (const bool classic : {true, false}) {
        Rebound r;
        if (classic)
            r.preview.set_bindings(nullptr);
        const int fire = classic ? Qt::Key_Shift : Qt::Key_Space;
        r.key(QEvent::KeyPress, fire, 65);
        QTest::qWait(kRepeatWaitMs);
        const int held = r.downs.count();
        EXPECT_GE(held, 2) << classic;
        r.key(QEvent::KeyRelease, fire, 65);
        QTest::qWait(kRepeatWaitMs);
        EXPECT_EQ(r.downs.count(), held) << "no fire after the release";
        for (const auto& d : r.downs)
            EXPECT_EQ(d.at(0).value<std::int16_t>(), key::Shift);

        r.downs.clear();
        r.key(QEvent::KeyPress, fire, 65);
        r.key(QEvent::KeyPress, fire, 65, true);  // the desktop's own repeat
        QTest::qWait(kRepeatWaitMs);
        EXPECT_EQ(r.downs.count(), 2) << "only the desktop's repeats";
        r.key(QEvent::KeyRelease, fire, 65);
    }
}

}  // namespace
}  // namespace grimbolt
