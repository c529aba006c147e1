#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "shell/enhanced/keys_dialog.h"

namespace grimbolt {
namespace {

struct Open {
    QWidget parent;
    KeysDialog dialog{KeyBindings::classic(), PadBindings::classic(), &parent};

    Open() {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    // Chooses an action's key and presses the new one.
    void bind(Action a, int slot, int qt_key, quint32 scan = 0) {
        dialog.table()->setCurrentCell(int(a), slot + 1);
        dialog.change();
        ASSERT_TRUE(dialog.waiting());
        QKeyEvent e(QEvent::KeyPress, qt_key, Qt::NoModifier, scan, 0, 0);
        QApplication::sendEvent(dialog.table(), &e);
    }
};

TEST(KeysDialog, AKeyIsChangedSwappedOrKeptAndNoActionIsLeftWithoutOne) {
    Open o;
    o.bind(Action::Jet, 1, Qt::Key_Up);  // a second key
    EXPECT_EQ(o.dialog.keys().of(Action::Jet)[0], (BoundKey{Qt::Key_X, 0}));
    EXPECT_EQ(o.dialog.keys().of(Action::Jet)[1], (BoundKey{Qt::Key_Up, 0}));
    EXPECT_EQ(o.dialog.table()->item(int(Action::Jet), 2)->text(), "Up");

    // Space for fire; then Shift for the gun, which fire no longer has.
    o.bind(Action::Fire, 0, Qt::Key_Space);
    o.bind(Action::Gun, 0, Qt::Key_Shift);
    EXPECT_FALSE(o.dialog.asking());
    EXPECT_EQ(o.dialog.keys().of(Action::Gun)[0].qt_key, Qt::Key_Shift);

    // A key another action has: swapped on request, or nothing changes.
    o.bind(Action::Gun, 0, Qt::Key_Up);
    ASSERT_TRUE(o.dialog.asking());
    EXPECT_TRUE(o.dialog.hint()->text().contains("Реактивный ранец"));
    o.dialog.cancel();
    EXPECT_EQ(o.dialog.keys().of(Action::Gun)[0].qt_key, Qt::Key_Shift);
    o.bind(Action::Gun, 0, Qt::Key_Up);
    o.dialog.swap();
    EXPECT_EQ(o.dialog.keys().of(Action::Gun)[0].qt_key, Qt::Key_Up);
    EXPECT_EQ(o.dialog.keys().of(Action::Jet)[1].qt_key, Qt::Key_Shift);

    // Esc while waiting keeps the old key; the last key of an action stays.
    o.bind(Action::Pause, 0, Qt::Key_Escape);
    EXPECT_EQ(o.dialog.keys().of(Action::Pause)[0].qt_key, Qt::Key_F3);
    o.dialog.table()->setCurrentCell(int(Action::Pause), 1);
    o.dialog.remove();
    EXPECT_EQ(o.dialog.keys().of(Action::Pause)[0].qt_key, Qt::Key_F3);
    o.dialog.table()->setCurrentCell(int(Action::Jet), 2);
    o.dialog.remove();
    EXPECT_EQ(o.dialog.keys().of(Action::Jet)[0].qt_key, Qt::Key_X);
    EXPECT_TRUE(o.dialog.keys().of(Action::Jet)[1].empty());

    // By place: the key's scan code is kept.
    o.dialog.by_place()->setChecked(true);
    o.bind(Action::BuyFuel, 0, Qt::Key_3, 12);
    EXPECT_EQ(o.dialog.keys().of(Action::BuyFuel)[0], (BoundKey{Qt::Key_3, 12}));

    // A command's key is another action's too; a key the file cannot keep is refused.
    o.bind(Action::Jet, 0, Qt::Key_F2);
    EXPECT_TRUE(o.dialog.asking());
    o.dialog.cancel();
    o.bind(Action::Jet, 0, Qt::Key_Dead_Acute);
    EXPECT_FALSE(o.dialog.asking());
    EXPECT_EQ(o.dialog.keys().of(Action::Jet)[0].qt_key, Qt::Key_X);

    o.dialog.restore_defaults();
    EXPECT_EQ(o.dialog.keys(), KeyBindings::classic());
}

// The whole window from the pad alone: down the list, A to change, a button pressed,
// a swap asked and answered, B to back out of a question, Start for "ОК".
TEST(KeysDialog, ThePadDrivesTheWindowAndBindsItsButtons) {
    Open o;
    QSignalSpy accepted(&o.dialog, &QDialog::accepted);
    const auto row = [&] { return o.dialog.table()->currentRow(); };
    // From the first action's key to the fire's pad button.
    for (int i = 0; i < int(Action::Fire); ++i)
        o.dialog.pad_pressed(pad::Down);
    for (int i = 0; i < 3; ++i)
        o.dialog.pad_pressed(pad::Right);
    ASSERT_EQ(row(), int(Action::Fire));
    ASSERT_EQ(o.dialog.table()->currentColumn(), 3);
    o.dialog.pad_pressed(pad::A);
    ASSERT_TRUE(o.dialog.waiting());
    o.dialog.pad_pressed(pad::RightTrigger);
    EXPECT_EQ(o.dialog.pad().of(Action::Fire), pad::RightTrigger);
    EXPECT_EQ(o.dialog.table()->item(int(Action::Fire), 3)->text(), "RT");

    // B is the jet's: a question; B backs out of it, then A on "Поменять" swaps.
    o.dialog.pad_pressed(pad::A);
    o.dialog.pad_pressed(pad::B);
    ASSERT_TRUE(o.dialog.asking());
    o.dialog.pad_pressed(pad::B);
    EXPECT_FALSE(o.dialog.asking());
    EXPECT_EQ(o.dialog.pad().of(Action::Jet), pad::B);
    o.dialog.pad_pressed(pad::A);
    o.dialog.pad_pressed(pad::B);
    o.dialog.pad_pressed(pad::A);
    EXPECT_EQ(o.dialog.pad().of(Action::Fire), pad::B);
    EXPECT_EQ(o.dialog.pad().of(Action::Jet), pad::RightTrigger);
    // In the shop B stays the fuel's: the shop's buttons are its own.
    EXPECT_EQ(o.dialog.pad().of(Action::BuyFuel), pad::B);

    // Waiting for a key of the keyboard, B keeps the old one; Start is "ОК".
    o.dialog.pad_pressed(pad::Left);
    o.dialog.pad_pressed(pad::A);
    ASSERT_TRUE(o.dialog.waiting());
    o.dialog.pad_pressed(pad::Start);
    EXPECT_TRUE(o.dialog.waiting());
    o.dialog.pad_pressed(pad::B);
    EXPECT_FALSE(o.dialog.waiting());
    EXPECT_EQ(o.dialog.keys(), KeyBindings::classic());
    o.dialog.pad_pressed(pad::Start);
    EXPECT_EQ(accepted.count(), 1);
}

}  // namespace
}  // namespace grimbolt
