#pragma once
// The enhanced edition as the program starts it for the hall window's tests.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/enhanced.h"
#include "core/keys.h"
#include "core/system_platform.h"
#include "replay/hall.h"
#include "replay/keeper.h"
#include "replay/recorder.h"
#include "shell/hall/hall_window.h"
#include "shell/mainfrm.h"
#include "shell/online/world_link.h"
#include "shell/shown_window.h"

namespace grimbolt {

// The enhanced edition as the program starts it: its games recorded and kept.
struct Kept {
    QTemporaryDir dir;
    QStringList said;
    Hall hall{dir.path() + "/hall", [this](const QString& w) { said.push_back(w); }};
    SystemRandom random;
    GameClock clock;
    std::unique_ptr<Mainfrm> window;
    std::unique_ptr<Recorder> recorder;
    Enhanced* enhanced = nullptr;
    std::unique_ptr<WorldLink> world;  // with `world_options`: the world's hall of fame

    explicit Kept(const Options* world_options = nullptr) {
        clock.restart(40000);
        random.reseed(40000);
        window = std::make_unique<Mainfrm>(random, clock);
        window->Timer1().set_held(true);
        recorder = std::make_unique<Recorder>(window->game(), clock);
        // Every game starts at a time of its own, the same in every run.
        recorder->now = [this] {
            return QDateTime(QDate(2026, 12, 8), QTime(20, 0)).addSecs(clock.elapsed_ms / 10);
        };
        if (world_options != nullptr)
            world = std::make_unique<WorldLink>(dir.path() + "/outbox");
        enhanced = new Enhanced(*window, world_options != nullptr ? *world_options : Options{},
                                {.recorder = recorder.get(), .hall = &hall, .world = world.get()});
        enhanced->options_menu().show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // A short game: walking, shooting, many ticks; then a new game ends it.
    void play(int ticks) {
        window->key_down(key::Right, 0);
        for (int i = 0; i < ticks; ++i) {
            if (i % 7 == 0)
                window->key_down(key::Shift, 1);
            window->elapse_period();
            if (i % 7 == 0)
                window->key_up(key::Shift, 1);
        }
        window->key_up(key::Right, 0);
        window->New_Game->trigger();
    }
    HallWindow* open_hall() {
        enhanced->hall_menu()->hall_item->trigger();
        HallWindow* w = enhanced->hall_menu()->hall_window();
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(testing::eventually([&] { return w->listed(); }));
        return w;
    }
    // The games kept once the keeper has done with those handed over.
    std::vector<HallEntry> entries() {
        enhanced->hall_menu()->keeper()->wait();
        return hall.entries();
    }
    ~Kept() { window.reset(); }  // the window's keeper goes before the world
};

}  // namespace grimbolt
