#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "app/enhanced.h"
#include "shell/enhanced/keys_dialog.h"
#include "shell/input/gamepad.h"
#include "shell/shown_window.h"
#include "virtual_pad.h"

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
    // The question stays about the fire: no other action is chosen meanwhile.
    o.dialog.pad_pressed(pad::LeftShoulder);
    o.dialog.pad_pressed(pad::Down);
    EXPECT_EQ(row(), int(Action::Fire));
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

// A real pad in the real game: it opens the keys window's question by its buttons alone,
// in both languages, and the window shows every column whole on the screen it is on.
// The pictures are kept in $GRIMBOLT_SHOTS (or the temporary folder) for a person to see;
// where the window system gives no picture (Wayland), $GRIMBOLT_SHOTS_WAIT_MS holds the
// window still for a screenshot tool.
TEST(KeysDialog, APadDrivesTheWindowOnScreen) {
    testing::Shown shown;
    // A pad plays in the window that has the keyboard; headless weston has no keyboard.
    if (!testing::eventually([&] { return shown.window.isActiveWindow(); }))
        GTEST_SKIP() << "no window has the keyboard here";
    Enhanced enhanced(shown.window, Options{});
    Gamepad pad;
    ASSERT_TRUE(pad.start()) << pad.error().toStdString();
    shown.window.use_gamepad(pad);
    enhanced.options_menu().use_gamepad(pad);
    testing::VirtualPad v;
    pad.poll();
    ASSERT_EQ(pad.pads(), 1);
    const auto press = [&](int button) {
        v.set(button, true);
        pad.poll();
        v.set(button, false);
        pad.poll();
    };
    const QString folder = qEnvironmentVariable("GRIMBOLT_SHOTS", QDir::tempPath());
    for (const char* language : {"ru", "en"}) {
        Options o;
        o.language = QString::fromLatin1(language);
        enhanced.options_menu().set_options(o);
        enhanced.options_menu().open_keys();
        KeysDialog* dialog = enhanced.options_menu().keys_dialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        // A compositor may hand the keyboard back to the main window a moment later.
        QTest::qWait(500);
        ASSERT_TRUE(testing::eventually([&] { return dialog->isActiveWindow(); }));
        // To the jet's pad button, A, and the fire's button: a swap is asked.
        for (int i = 0; i < int(Action::Jet); ++i)
            press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        for (int i = 0; i < 3; ++i)
            press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        press(SDL_CONTROLLER_BUTTON_A);
        press(SDL_CONTROLLER_BUTTON_A);
        ASSERT_TRUE(dialog->asking()) << language;
        QTest::qWait(std::max(300, qEnvironmentVariableIntValue("GRIMBOLT_SHOTS_WAIT_MS")));

        const QRect screen = dialog->screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(dialog->frameGeometry())) << language;
        EXPECT_FALSE(dialog->table()->horizontalScrollBar()->isVisible()) << language;
        EXPECT_FALSE(dialog->table()->verticalScrollBar()->isVisible()) << language;
        const QFontMetrics metrics(dialog->table()->font());
        for (int c = 1; c < dialog->table()->columnCount(); ++c) {
            for (int r = 0; r < kActions; ++r) {
                EXPECT_LE(metrics.horizontalAdvance(dialog->table()->item(r, c)->text()),
                          dialog->table()->columnWidth(c))
                    << language << " " << r << "," << c;
            }
        }
        const QImage shot = dialog->screen()->grabWindow(0).toImage();
        if (!shot.isNull())
            shot.save(folder + QStringLiteral("/grimbolt-keys-pad-%1.png").arg(language));
        // B backs out of the question, and again out of the window: nothing kept.
        press(SDL_CONTROLLER_BUTTON_B);
        EXPECT_FALSE(dialog->asking());
        press(SDL_CONTROLLER_BUTTON_B);
        EXPECT_TRUE(
            testing::eventually([&] { return enhanced.options_menu().keys_dialog() == nullptr; }));
        EXPECT_EQ(enhanced.options_menu().options().pad, PadBindings::classic());
    }
    enhanced.options_menu().set_options(Options{});
}

}  // namespace
}  // namespace grimbolt
