#include <gtest/gtest.h>

#include "shell/input/keymap.h"

namespace grimbolt {
namespace {

TEST(KeyMap, GameKeysGetTheirCodes) {
    EXPECT_EQ(game_key_code(Qt::Key_Left, Qt::NoModifier, 0), 37);
    EXPECT_EQ(game_key_code(Qt::Key_Right, Qt::NoModifier, 0), 39);
    EXPECT_EQ(game_key_code(Qt::Key_Z, Qt::NoModifier, 0), 90);
    EXPECT_EQ(game_key_code(Qt::Key_X, Qt::NoModifier, 0), 88);
    EXPECT_EQ(game_key_code(Qt::Key_Shift, Qt::ShiftModifier, 0), 16);
    EXPECT_EQ(game_key_code(Qt::Key_1, Qt::NoModifier, 0), 49);
    EXPECT_EQ(game_key_code(Qt::Key_2, Qt::NoModifier, 0), 50);
    EXPECT_EQ(game_key_code(Qt::Key_3, Qt::NoModifier, 0), 51);
    EXPECT_EQ(game_key_code(Qt::Key_Escape, Qt::NoModifier, 0), 27);
}

TEST(KeyMap, ModifiersDoNotChangeTheCode) {
    EXPECT_EQ(game_key_code(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier, 0), 37);
    EXPECT_EQ(game_key_code(Qt::Key_Z, Qt::ShiftModifier, 0), 90);
    // Shift+1 arrives as "!" but is still the key 1.
    EXPECT_EQ(game_key_code(Qt::Key_Exclam, Qt::ShiftModifier, 10), 49);
}

TEST(KeyMap, TheModifierMaskIsShiftCtrlAlt) {
    EXPECT_EQ(shift_mask(Qt::NoModifier), 0);
    EXPECT_EQ(shift_mask(Qt::ShiftModifier), 1);
    EXPECT_EQ(shift_mask(Qt::ControlModifier | Qt::AltModifier), 6);
    EXPECT_EQ(shift_mask(Qt::KeypadModifier | Qt::ShiftModifier), 1);
}

TEST(KeyMap, TheKeypadDigitsAreOtherKeys) {
    EXPECT_EQ(game_key_code(Qt::Key_1, Qt::KeypadModifier, 87), 97);
    EXPECT_EQ(game_key_code(Qt::Key_3, Qt::KeypadModifier, 89), 99);
    EXPECT_FALSE(is_game_key(game_key_code(Qt::Key_2, Qt::KeypadModifier, 88)));
}

TEST(KeyMap, LettersWorkOnACyrillicLayout) {
    // The keys Z and X of a Russian layout type я and ч.
    EXPECT_EQ(game_key_code(0x42f, Qt::NoModifier, 52), 90);
    EXPECT_EQ(game_key_code(0x427, Qt::NoModifier, 53), 88);
    EXPECT_EQ(game_key_code(0x427, Qt::NoModifier, 0), 0);
}

TEST(KeyMap, OtherKeysGetCodesTheGameIgnores) {
    for (int k : {int(Qt::Key_Up), int(Qt::Key_Down), int(Qt::Key_Space), int(Qt::Key_A),
                  int(Qt::Key_F1), int(Qt::Key_F2), int(Qt::Key_F3), int(Qt::Key_Return),
                  int(Qt::Key_Control), int(Qt::Key_4), 0x1000123, int(Qt::Key_unknown)}) {
        EXPECT_FALSE(is_game_key(game_key_code(k, Qt::NoModifier, 0))) << std::hex << k;
    }
    EXPECT_EQ(game_key_code(Qt::Key_F1, Qt::NoModifier, 0), 112);
    EXPECT_EQ(game_key_code(Qt::Key_Up, Qt::NoModifier, 0), 38);
    EXPECT_EQ(game_key_code(Qt::Key_A, Qt::NoModifier, 0), 65);
}

}  // namespace
}  // namespace grimbolt
