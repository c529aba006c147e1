#pragma once
// Helpers for the tests of the program's windows.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "fakes.h"
#include "shell/mainfrm.h"

namespace grimbolt::testing {

// Lets events run until the condition holds or two seconds pass; the caller asserts.
template <class Condition>
bool eventually(Condition condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > 2000)
            return false;
        QTest::qWait(5);
    }
    return true;
}

struct Shown {
    testing::FakeRandom random;
    testing::FakeClock clock;
    Mainfrm window{random, clock};

    Shown() {
        window.show_maximized();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

}  // namespace grimbolt::testing
