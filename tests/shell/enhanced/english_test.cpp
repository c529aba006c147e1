#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "app/enhanced.h"
#include "shell/enhanced/overlay.h"
#include "shell/shown_window.h"

namespace grimbolt {
namespace {

using testing::eventually;

bool cyrillic(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x400 && c.unicode() <= 0x4FF; });
}

// Every text a window shows: its title, its menus, and its controls' captions. The
// language chooser names each language in its own tongue, so that a reader finds it.
QStringList shown_texts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (const QAction* a : window->findChildren<QAction*>())
        texts << a->text();
    for (const QMenu* m : window->findChildren<QMenu*>())
        texts << m->title();
    for (const QLabel* l : window->findChildren<QLabel*>()) {
        if (l->buddy() == nullptr || qobject_cast<QComboBox*>(l->buddy()) == nullptr)
            texts << l->text();
    }
    for (const QAbstractButton* b : window->findChildren<QAbstractButton*>())
        texts << b->text();
    for (const QPlainTextEdit* t : window->findChildren<QPlainTextEdit*>())
        texts << t->toPlainText();
    return texts;
}

QStringList drawn_texts(const Texts& t) {
    return {t.score, t.fuel, t.death, t.shop[0], t.shop[1], t.shop[2], t.shop[3], t.shop[4]};
}

// The width in pixels of a line as the game prints it at this size.
int printed_width(const QString& line, double points) {
    Surface s(2000, 100);
    s.set_font_size(points);
    s.set_fore_colour(kGreen);
    s.print(line);
    const QImage& image = s.image();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = image.width() - 1; x > right; --x) {
            if ((row[x] & 0xFFFFFF) != 0)
                right = x;
        }
    }
    return right + 1;
}

// In English no menu, window, sign or line the game draws holds a Cyrillic letter; back
// in Russian they are the source texts again.
TEST(English, EveryTextThePlayerSeesIsTranslatedAtOnce) {
    testing::Shown shown;
    Mainfrm& w = shown.window;
    Options english;
    english.language = QStringLiteral("en");
    Enhanced enhanced(w, Options{});
    const Texts russian = w.game().texts;
    enhanced.options_menu().set_options(english);
    ASSERT_TRUE(eventually([&] { return w.New_Game->text().remove('&') == "Start a new game"; }));

    w.How_to_play_Click();
    w.Author_Click();
    w.Speed_Click();
    enhanced.options_menu().open_options();
    ASSERT_TRUE(eventually([&] { return enhanced.options_menu().options_dialog() != nullptr; }));
    QStringList texts = shown_texts(&w) + shown_texts(w.helpfrm()) + shown_texts(w.avtor()) +
                        shown_texts(enhanced.options_menu().options_dialog()) +
                        drawn_texts(w.game().texts);
    enhanced.signs().overlay()->show_pause();
    texts += enhanced.signs().overlay()->lines();
    enhanced.signs().overlay()->show_game_over(1200, 3400);
    texts += enhanced.signs().overlay()->lines();
    enhanced.signs().overlay()->show_playback();
    texts += enhanced.signs().overlay()->lines();
    EXPECT_EQ(enhanced.signs().overlay()->lines().value(0),
              QStringLiteral("Recording: any key — new game"));
    for (const QString& text : texts)
        EXPECT_FALSE(cyrillic(text)) << text.toStdString();
    EXPECT_GT(texts.size(), 40);

    enhanced.options_menu().options_dialog()->reject();
    enhanced.options_menu().set_options(Options{});
    ASSERT_TRUE(eventually([&] { return w.New_Game->text().remove('&') == "Начать новую игру"; }));
    EXPECT_EQ(drawn_texts(w.game().texts), drawn_texts(russian));
    EXPECT_EQ(w.Okbut()->text(), QStringLiteral("Ок"));
    w.Okbut_Click();
}

// The English lines the game draws fit where the Russian ones fit: the status panel
// (345 pixels), the shop's box (10000 twips less its margin), the death line on a
// 640-pixel display from its left margin.
TEST(English, TheDrawnLinesFitWhereTheRussianOnesFit) {
    testing::Shown shown;
    Mainfrm& w = shown.window;
    Enhanced enhanced(w, Options{});
    const Texts russian = w.game().texts;
    Options english;
    english.language = QStringLiteral("en");
    enhanced.options_menu().set_options(english);
    ASSERT_TRUE(eventually([&] { return w.game().texts.score == QStringLiteral("Score: "); }));
    const Texts& en = w.game().texts;

    const QString big = number_text(99'999'999);
    for (const Texts* t : {&russian, &en}) {
        EXPECT_LT(printed_width(t->score + big, 8.25), 345);
        EXPECT_LT(printed_width(t->fuel + big, 8.25), 345);
        for (const QString& line : {t->shop[0], t->shop[1], t->shop[2], t->shop[3]})
            EXPECT_LT(printed_width(line.arg(big), 12), (10000 - 100) / 15) << line.toStdString();
        EXPECT_LT(printed_width(t->shop[4], 12), (10000 - 100) / 15);
        EXPECT_LT(printed_width(t->death, 20), 640 - 100 / 15);
    }
    enhanced.options_menu().set_options(Options{});
}

// On a real display the status panel and the shop show their English lines: what the
// screen holds there is the game's own English picture. Under X11 the grab is a real
// screenshot, kept in $TMPDIR for a look.
TEST(English, TheStatusPanelAndTheShopOnScreen) {
    testing::Shown shown;
    Mainfrm& w = shown.window;
    Enhanced enhanced(w, Options{});
    Options english;
    english.language = QStringLiteral("en");
    enhanced.options_menu().set_options(english);
    ASSERT_TRUE(eventually([&] { return w.game().texts.score == QStringLiteral("Score: "); }));
    GameState& s = w.game().s;
    ASSERT_TRUE(eventually([&] { return w.paramspic()->isVisible(); }));
    s.score = 1000;  // as a lucky player would have: the next tick opens the shop
    w.Timer1().set_enabled(false);
    w.elapse_period();
    w.Timer1().set_enabled(true);
    w.elapse_period();
    ASSERT_NE(s.in_magazine, 0);
    QTest::qWait(300);

    QScreen* screen = w.screen();
    const QImage shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    if (shot.isNull())
        GTEST_SKIP() << "this platform gives no screenshot";
    shot.save(QDir::temp().filePath(QStringLiteral("grimbolt-english.png")));
    const auto matches = [&](const QWidget* view, Surface& picture, QRect area) {
        const QPoint at = view->mapToGlobal(area.topLeft()) - screen->geometry().topLeft();
        const QImage own = picture.image().copy(area).convertToFormat(QImage::Format_RGB32);
        return shot.copy(QRect(at, area.size())) == own;
    };
    const QRect panel(QPoint(0, 0), w.paramspic()->size());
    EXPECT_TRUE(matches(w.paramspic(), w.game().paramspic.surface, panel));
    // The shop's box lies in the middle of the picture.
    const QRect box(w.view()->width() / 2 - 333, w.view()->height() / 2 - 166, 666, 333);
    EXPECT_TRUE(matches(w.view(), w.game().screen, box));
    enhanced.options_menu().set_options(Options{});
}

}  // namespace
}  // namespace grimbolt
