#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QElapsedTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include "fakes.h"
#include "shell/input/key_preview.h"
#include "shell/mainfrm.h"
#include "shell/shown_window.h"
#include "shell/surface_view.h"
#include "shell/window_manager.h"

namespace grimbolt {
namespace {

using testing::eventually;
using testing::Shown;

QStringList captions(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        out << a->text();
    return out;
}

TEST(Mainfrm, HasItsCaptionMenusAndShortcuts) {
    testing::FakeRandom random;
    testing::FakeClock clock;
    Mainfrm w(random, clock);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Grimbolt"));
    const QList<QAction*> menus = w.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("Игра"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("Настройки"));
    EXPECT_EQ(menus[2]->text(), QStringLiteral("Помощь"));
    EXPECT_EQ(captions(menus[0]->menu()), (QStringList{"Начать новую игру", "Пауза", "Выход"}));
    EXPECT_EQ(captions(menus[1]->menu()), (QStringList{"Музыка вкл/выкл", "Скорость игры"}));
    EXPECT_EQ(captions(menus[2]->menu()), (QStringList{"Как играть...", "Автор"}));
    EXPECT_EQ(w.New_Game->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(w.Pause->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(w.How_to_play->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(w.Exit->shortcut().isEmpty());
}

TEST(Mainfrm, MusicKeepsItsCheckMark) {
    testing::FakeRandom random;
    testing::FakeClock clock;
    Mainfrm w(random, clock);
    EXPECT_TRUE(w.Music->isChecked());
    for (int i = 0; i < 3; ++i) {
        w.Music->trigger();
        EXPECT_TRUE(w.Music->isChecked());
    }
}

TEST(Mainfrm, ControlsAreLaidOutAndHidden) {
    testing::FakeRandom random;
    testing::FakeClock clock;
    Mainfrm w(random, clock);
    EXPECT_TRUE(w.paramspic()->isHidden());
    EXPECT_TRUE(w.speedpic()->isHidden());
    EXPECT_EQ(w.speedpic()->geometry(), QRect(32, 64, 361, 97));  // 480, 960, 5415 x 1455 twips
    EXPECT_EQ(w.speedpic()->palette().color(QPalette::Window), QColor(128, 128, 128));
    EXPECT_EQ(w.Okbut()->text(), QStringLiteral("Ок"));
    EXPECT_EQ(w.Okbut()->geometry(), QRect(16, 64, 329, 25));
    EXPECT_EQ(w.HScroll1()->minimum(), 0);
    EXPECT_EQ(w.HScroll1()->maximum(), 2000);
    EXPECT_EQ(w.HScroll1()->value(), 0);
    EXPECT_EQ(w.HScroll1()->orientation(), Qt::Horizontal);
    EXPECT_EQ(w.HScroll1()->geometry(), QRect(16, 48, 329, 9));
    EXPECT_EQ(w.Label1()->text(), QStringLiteral("Выберите скорость"));
    EXPECT_EQ(w.Label1()->geometry(), QRect(16, 24, 225, 41));
    EXPECT_EQ(w.Okbut()->parentWidget(), w.speedpic());
    // The status panel's own picture: 5175 x 495 twips in dark grey.
    EXPECT_EQ(w.game().paramspic.surface.width_px(), 345);
    EXPECT_EQ(w.game().paramspic.surface.pixel(5, 5), kPanelGrey);
    // Nothing on the window can take the keys from the game.
    for (const QWidget* c :
         {static_cast<QWidget*>(w.Okbut()), static_cast<QWidget*>(w.HScroll1())}) {
        EXPECT_EQ(c->focusPolicy(), Qt::NoFocus);
    }
}

TEST(Mainfrm, TheTimerTicksEvery50MsFromCreation) {
    testing::FakeRandom random;
    testing::FakeClock clock;
    Mainfrm w(random, clock);
    EXPECT_TRUE(w.Timer1().enabled());
    EXPECT_EQ(w.Timer1().interval(), 50);
    EXPECT_EQ(w.Timer1().qtimer().timerType(), Qt::PreciseTimer);
    w.Timer1().set_interval(1);
    EXPECT_EQ(w.Timer1().interval(), 1);
}

TEST(Mainfrm, LoadsTheGameBeforeItIsShown) {
    testing::FakeRandom random;
    testing::FakeClock clock;
    Mainfrm w(random, clock);
    EXPECT_GT(w.game().s.preg_count, 0);
    EXPECT_EQ(w.game().s.hero_height, 990);
    EXPECT_EQ(w.game().s.ground_y % 100, 0);
}

TEST(Mainfrm, FirstShowResizesPaintsAndActivates) {
    testing::FakeRandom random;
    testing::FakeClock clock;
    Mainfrm w(random, clock);
    QSignalSpy painted(&w, &Mainfrm::formPainted);
    QSignalSpy resized(&w, &Mainfrm::formResized);
    QSignalSpy activated(&w, &Mainfrm::formActivated);
    w.show_maximized();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_TRUE(eventually([&] { return painted.count() >= 1; }));
    EXPECT_GE(resized.count(), 1);
    EXPECT_EQ(activated.count(), 1);
    // The picture fills the client area.
    EXPECT_EQ(w.game().screen.width_px(), int(w.view()->width() / w.scale() + 0.999));
    EXPECT_TRUE(w.isMaximized() || w.geometry() == w.screen()->availableGeometry());
}

// Also run on real displays: X11 with and without a window manager, and Wayland.
TEST(Mainfrm, RestoredItTakesTheLayoutsGeometryAndMaximizesAgain) {
    Shown s;
    Mainfrm& w = s.window;
    // Wayland keeps the places of windows to the compositor.
    const bool placed = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    ASSERT_TRUE(eventually([&] { return w.isMaximized(); }));
    w.showNormal();
    // The layout's client area, 6705 x 5010 twips at 165, 450, under the menu bar. A
    // window manager may move and size the window in separate steps.
    eventually([&] {
        return w.view()->size() == QSize(447, 334) &&
               w.geometry().size() == w.layout_geometry().size() &&
               (!placed || w.geometry().topLeft() == QPoint(11, 30));
    });
    EXPECT_EQ(w.view()->size(), QSize(447, 334));
    EXPECT_EQ(w.geometry().size(), w.layout_geometry().size());
    if (placed) {
        EXPECT_EQ(w.geometry().topLeft(), QPoint(11, 30));
    }

    w.showMaximized();
    const QRect free = w.screen()->availableGeometry();
    const auto fills = [&] {
        const QRect frame = w.frameGeometry();
        return frame.width() >= free.width() * 9 / 10 && frame.height() >= free.height() * 9 / 10;
    };
    eventually([&] { return w.isMaximized() && fills(); });
    // With no window manager to confirm it, X11 leaves the state a maximized window
    // has to the program's word alone.
    EXPECT_TRUE(w.isMaximized() || !window_manager_runs());
    EXPECT_TRUE(fills()) << w.frameGeometry().width() << " x " << w.frameGeometry().height();
    if (placed) {
        EXPECT_TRUE(free.contains(w.frameGeometry()));
    }
}

// F11 from the keyboard; where the window system gives no keyboard focus (a headless
// weston has no keyboard), the command it stands for.
void press_f11(Mainfrm& w) {
    if (QWidget* focus = QApplication::focusWidget())
        QTest::keyClick(focus, Qt::Key_F11);
    else
        w.Full_Screen->trigger();
}

TEST(Mainfrm, F11ShowsTheGameOnTheWholeDisplayUnderTheMenuBarAndGoesBackToMaximized) {
    Shown s;
    Mainfrm& w = s.window;
    const bool placed = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    ASSERT_TRUE(eventually([&] { return w.isMaximized(); }));
    QSignalSpy painted(&w, &Mainfrm::formPainted);
    press_f11(w);
    // The picture spans the display but the menu bar, which stays.
    const QRect display = w.screen()->geometry();
    const auto spans = [&] {
        const QRect view(w.view()->mapToGlobal(QPoint(0, 0)), w.view()->size());
        return view.width() == display.width() &&
               view.height() == display.height() - w.menuBar()->height() &&
               (!placed || view.bottomRight() == display.bottomRight());
    };
    EXPECT_TRUE(eventually([&] { return w.isFullScreen() && spans(); }))
        << w.view()->width() << " x " << w.view()->height() << " on " << display.width() << " x "
        << display.height();
    EXPECT_TRUE(w.menuBar()->isVisible());
    // Drawn anew at its new size, also where the size stays (X11 with no window manager).
    EXPECT_TRUE(eventually([&] { return painted.count() >= 1; }));
    EXPECT_EQ(w.game().screen.width_px(), display.width());

    press_f11(w);
    const QRect free = w.screen()->availableGeometry();
    EXPECT_TRUE(eventually([&] {
        return !w.isFullScreen() && w.frameGeometry().width() >= free.width() * 9 / 10 &&
               (!placed || free.contains(w.frameGeometry()));
    }));
    EXPECT_TRUE(w.isMaximized() || !window_manager_runs());
    EXPECT_EQ(w.game().screen.width_px(), w.view()->width());
}

TEST(Mainfrm, ComingBackFromAnotherOwnWindowActivates) {
    Shown s;
    QSignalSpy activated(&s.window, &Mainfrm::formActivated);
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(activated.count(), 0);
    s.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.window));
    EXPECT_EQ(activated.count(), 1);
}

TEST(Mainfrm, AShortClientAreaShowsThePictureScaledToKeepTheGroundInSight) {
    Shown s;
    Mainfrm& w = s.window;
    const std::int64_t needed = (std::int64_t{w.game().s.ground_y} + 495 + 14) / 15;
    w.setWindowState(Qt::WindowNoState);
    w.resize(700, int(needed / 2) + w.menuBar()->height());
    EXPECT_TRUE(eventually([&] { return w.view()->height() == int(needed / 2); }));
    EXPECT_NEAR(w.scale(), 0.5, 0.01);
    EXPECT_EQ(w.game().screen.height_px(), needed);
    EXPECT_GE(w.game().screen.width_px() * w.scale(), w.view()->width() - 1);
    // The status panel shrinks with the picture: 360, 2520, 5175 x 495 twips.
    const double k = w.scale();
    EXPECT_EQ(w.paramspic()->geometry(),
              QRect(qRound(24 * k), qRound(168 * k), qRound(345 * k), qRound(33 * k)));

    QSignalSpy resized(&w, &Mainfrm::formResized);
    w.resize(700, int(needed) + 40 + w.menuBar()->height());
    EXPECT_TRUE(eventually([&] { return w.view()->height() == int(needed) + 40; }));
    EXPECT_EQ(w.scale(), 1.0);
    EXPECT_EQ(w.game().screen.height_px(), int(needed) + 40);
    EXPECT_EQ(w.game().screen.width_px(), 700);
    EXPECT_EQ(resized.count(), 1);  // one resize, one resize event
}

// A window with two controls, like the main window and its speed dialog.
struct PreviewWindow {
    QWidget window;
    QPushButton* button = new QPushButton(QStringLiteral("Ок"), &window);
    QScrollBar* slider = new QScrollBar(Qt::Horizontal, &window);
    KeyPreview preview{&window};
    QSignalSpy downs{&preview, &KeyPreview::keyDown};
    QSignalSpy ups{&preview, &KeyPreview::keyUp};

    PreviewWindow() {
        window.resize(300, 200);
        slider->move(0, 50);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    static std::int16_t code(const QSignalSpy& spy, int i) {
        return spy.at(i).at(0).value<std::int16_t>();
    }
};

TEST(KeyPreview, SeesEveryKeyOnceWhicheverControlHasTheFocus) {
    PreviewWindow p;
    QSignalSpy clicked(p.button, &QPushButton::clicked);
    for (QWidget* focus : {static_cast<QWidget*>(p.button), static_cast<QWidget*>(p.slider)}) {
        focus->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), focus);
        p.downs.clear();
        p.ups.clear();
        const int before = p.slider->value();
        QTest::keyPress(focus, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
        QTest::keyRelease(focus, Qt::Key_Right);
        QTest::keyClick(focus, Qt::Key_Shift);
        // QTest presses Shift and Ctrl before the arrow: those are keys too.
        const auto codes = [](const QSignalSpy& spy) {
            std::vector<int> out;
            for (int i = 0; i < spy.count(); ++i)
                out.push_back(PreviewWindow::code(spy, i));
            return out;
        };
        EXPECT_EQ(codes(p.downs), (std::vector<int>{16, 17, 39, 16}));
        EXPECT_EQ(codes(p.ups), (std::vector<int>{39, 16}));
        ASSERT_EQ(p.downs.count(), 4);
        EXPECT_EQ(p.downs.at(2).at(1).value<std::int16_t>(), 3);  // Shift and Ctrl held
        // The game's keys stay with the game.
        EXPECT_EQ(p.slider->value(), before);
    }
    // Other keys still reach the control after the game has seen them.
    p.button->setFocus();
    p.downs.clear();
    QTest::keyClick(p.button, Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 1);
    ASSERT_EQ(p.downs.count(), 1);
    EXPECT_EQ(PreviewWindow::code(p.downs, 0), 32);
}

TEST(KeyPreview, AutoRepeatCountsAsKeyDownsButNotAsReleases) {
    PreviewWindow p;
    p.button->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(p.button, &press);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(p.button, &up);
        QApplication::sendEvent(p.button, &down);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(p.button, &release);
    EXPECT_EQ(p.downs.count(), 4);
    ASSERT_EQ(p.ups.count(), 1);
    EXPECT_EQ(PreviewWindow::code(p.ups, 0), 37);
}

TEST(KeyPreview, IgnoresKeysOfOtherWindows) {
    PreviewWindow p;
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::keyClick(&other, Qt::Key_Left);
    EXPECT_EQ(p.downs.count(), 0);
    EXPECT_EQ(p.ups.count(), 0);
}

}  // namespace
}  // namespace grimbolt

namespace grimbolt {
namespace {

// A picture of single-pixel detail: every pixel differs from its neighbours.
Surface checkerboard(int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            s.point(x * 15, y * 15, Rgb(0x10000 * (x * 37 % 256) + 0x100 * (y * 53 % 256) + 0x80));
    }
    s.flush();  // what a view shows
    return s;
}

TEST(SurfaceView, IsCrispOnADoubleDensityDisplay) {
    Surface s = checkerboard(20, 10);
    QWidget parent;
    SurfaceView view(&s, &parent);
    view.resize(20, 10);
    QImage target(40, 20, QImage::Format_RGB32);
    target.setDevicePixelRatio(2.0);
    target.fill(Qt::magenta);
    view.render(&target);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(target.pixel(x, y) & 0xFFFFFF, s.pixel(x / 2, y / 2)) << x << "," << y;
        }
    }
}

TEST(SurfaceView, ShrinksAShortPictureIntoTheWidget) {
    Surface s = checkerboard(40, 20);
    QWidget parent;
    SurfaceView view(&s, &parent);
    view.set_scale(0.5);
    view.resize(20, 10);
    QImage target(20, 10, QImage::Format_RGB32);
    target.fill(Qt::magenta);
    view.render(&target);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x)
            EXPECT_NE(target.pixel(x, y), QColor(Qt::magenta).rgb());
    }
}

}  // namespace
}  // namespace grimbolt

namespace grimbolt {
namespace {

// Shows another window of the program at this place, closes it, and counts the main
// window's paint events that follow.
int paints_after_closing(Mainfrm& main, const QRect& where) {
    QWidget other;
    other.setGeometry(where);
    other.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&other));
    QTest::qWait(20);
    QSignalSpy painted(&main, &Mainfrm::formPainted);
    other.close();
    eventually([&] { return painted.count() > 0; });
    QTest::qWait(50);
    return int(painted.count());
}

TEST(Mainfrm, AnOwnWindowThatCoveredItRaisesThePaintEventWhenItCloses) {
    Shown s;
    QTest::qWait(20);
    // Requests that arrive together make one paint event; a window system that reports
    // the uncovering later as well may add one more.
    const int over = paints_after_closing(s.window, QRect(100, 100, 200, 100));
    EXPECT_GE(over, 1);
    EXPECT_LE(over, 2);
    EXPECT_EQ(paints_after_closing(s.window, QRect(5000, 5000, 100, 100)), 0);
}

TEST(Mainfrm, APaintEventThatHidesTheStatusPanelIsFollowedByOneThatShowsIt) {
    Shown s;
    Mainfrm& w = s.window;
    // The first paint event shows the panel on the tile row.
    EXPECT_TRUE(eventually([&] { return !w.paramspic()->isHidden(); }));
    EXPECT_EQ(w.paramspic()->pos(), QPoint(0, qRound(to_px(w.game().s.ground_y) * w.scale())));
    QTest::qWait(20);

    // Each paint event flips the panel and hiding it raises one more, so paint events
    // come in pairs and the panel ends up shown.
    const int paints = paints_after_closing(w, QRect(100, 100, 200, 100));
    EXPECT_GE(paints, 2);
    EXPECT_EQ(paints % 2, 0);
    EXPECT_TRUE(w.game().paramspic.visible);
    EXPECT_FALSE(w.paramspic()->isHidden());

    // The ticks write the points and the fuel on it while it is shown.
    const QImage before = w.game().paramspic.surface.image();
    w.game().s.score = 4200;
    EXPECT_TRUE(eventually([&] { return w.game().paramspic.surface.image() != before; }));
}

}  // namespace
}  // namespace grimbolt

namespace grimbolt {
namespace {

// What the game draws reaches the window's picture, and the speed dialog stays on top
// of whatever the game draws beneath it.
TEST(Mainfrm, ShowsTheGamesPictureWithTheDialogOnTop) {
    testing::Shown s;
    Mainfrm& w = s.window;
    ASSERT_TRUE(testing::eventually([&] { return w.paramspic()->isVisible(); }));
    w.Speed_Click();
    QTest::qWait(20);

    w.game().screen.box(0, 0, 60000, 60000, kWhite);  // under the dialog too
    QTest::keyClick(w.view(), Qt::Key_Z);             // the gun goes up, and the picture is shown
    // What the window system is given: the window's own picture.
    const auto* store = static_cast<const QImage*>(w.backingStore()->paintDevice());
    const QPoint view = w.view()->mapTo(&w, QPoint(0, 0));
    const QPoint dialog = w.speedpic()->mapTo(&w, QPoint(3, 3));
    EXPECT_TRUE(testing::eventually([&] {
        return store->pixelColor(view + QPoint(5, 5)) == QColor(Qt::white) &&
               store->pixelColor(dialog) == QColor(128, 128, 128);
    }));
    w.Okbut_Click();
}

}  // namespace
}  // namespace grimbolt
