#include "shell/input/keymap.h"

#include <array>
#include <utility>

namespace grimbolt {
namespace {

std::int16_t code_from_qt(int k, Qt::KeyboardModifiers modifiers) {
    if (k >= Qt::Key_0 && k <= Qt::Key_9) {
        // The numeric keypad has codes of its own (96 to 105).
        const int digit = k - Qt::Key_0;
        return std::int16_t((modifiers & Qt::KeypadModifier) ? 96 + digit : 48 + digit);
    }
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return std::int16_t(65 + (k - Qt::Key_A));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return std::int16_t(112 + (k - Qt::Key_F1));
    switch (k) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Shift:
            return key::Shift;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Pause:
            return 19;
        case Qt::Key_CapsLock:
            return 20;
        case Qt::Key_Escape:
            return key::Esc;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return key::Left;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return key::Right;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            return key::None;
    }
}

std::int16_t code_from_scan(quint32 scan_code) {
    // X11 key codes of the physical keys 1, 2, 3, Z and X.
    static constexpr std::array<std::pair<quint32, std::int16_t>, 5> kScan{
        {{10, key::One}, {11, key::Two}, {12, key::Three}, {52, key::Z}, {53, key::X}}};
    for (const auto& [scan, code] : kScan) {
        if (scan == scan_code)
            return code;
    }
    return key::None;
}

}  // namespace

std::int16_t game_key_code(int qt_key, Qt::KeyboardModifiers modifiers, quint32 scan_code) {
    const std::int16_t code = code_from_qt(qt_key, modifiers);
    if (code != key::None || (modifiers & Qt::KeypadModifier))
        return code;
    return code_from_scan(scan_code);
}

std::int16_t shift_mask(Qt::KeyboardModifiers modifiers) {
    return std::int16_t(((modifiers & Qt::ShiftModifier) ? 1 : 0) |
                        ((modifiers & Qt::ControlModifier) ? 2 : 0) |
                        ((modifiers & Qt::AltModifier) ? 4 : 0));
}

}  // namespace grimbolt
