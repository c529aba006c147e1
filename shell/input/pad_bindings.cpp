#include "shell/input/pad_bindings.h"

#include <SDL2/SDL_gamecontroller.h>

namespace grimbolt {
namespace {

static_assert(SDL_CONTROLLER_BUTTON_A == pad::A && SDL_CONTROLLER_BUTTON_START == pad::Start &&
              SDL_CONTROLLER_BUTTON_DPAD_LEFT == pad::Left &&
              SDL_CONTROLLER_BUTTON_LEFTSTICK == pad::LeftStick &&
              SDL_CONTROLLER_BUTTON_RIGHTSTICK == pad::RightStick &&
              SDL_CONTROLLER_BUTTON_TOUCHPAD == pad::Touchpad &&
              SDL_CONTROLLER_BUTTON_MAX <= pad::LeftTrigger);

constexpr std::array<std::int8_t, kActions> kClassic{
    pad::Left, pad::Right, pad::Y,    pad::B,    pad::A,     pad::X,    pad::Y,
    pad::B,    pad::Start, pad::None, pad::Back, pad::Start, pad::None,
};

}  // namespace

bool shop_action(Action a) {
    return a == Action::BuyRate || a == Action::BuyBlast || a == Action::BuyFuel ||
           a == Action::LeaveShop;
}

PadBindings PadBindings::classic() {
    return PadBindings{kClassic};
}

std::optional<Action> PadBindings::action_of(int pressed, bool in_shop) const {
    if (pressed == pad::StickLeft)
        return Action::WalkLeft;
    if (pressed == pad::StickRight)
        return Action::WalkRight;
    // In the shop its own buttons first; in play the shop's buttons are nothing.
    for (const bool shop_side : {true, false}) {
        for (int i = 0; i < kActions; ++i) {
            if (shop_action(Action(i)) == shop_side && (in_shop || !shop_side) &&
                pressed != pad::None && button[std::size_t(i)] == pressed)
                return Action(i);
        }
    }
    return std::nullopt;
}

std::optional<Action> PadBindings::holder_of(int pressed, Action except) const {
    for (int i = 0; i < kActions; ++i) {
        if (Action(i) != except && pressed != pad::None && button[std::size_t(i)] == pressed &&
            shop_action(Action(i)) == shop_action(except))
            return Action(i);
    }
    return std::nullopt;
}

std::vector<Action> PadBindings::settle(const std::array<bool, kActions>& chosen) {
    std::vector<Action> reset;
    // As with the keys: a button two actions share goes to the one whose it is by
    // default. Each round gives one action its default; there are no more rounds than
    // actions.
    for (int round = 0; round < kActions; ++round) {
        bool changed = false;
        for (int i = kActions - 1; i >= 0 && !changed; --i) {
            if (chosen[std::size_t(i)] && button[std::size_t(i)] != kClassic[std::size_t(i)] &&
                holder_of(button[std::size_t(i)], Action(i))) {
                button[std::size_t(i)] = kClassic[std::size_t(i)];
                reset.push_back(Action(i));
                changed = true;
            }
        }
        if (!changed)
            break;
    }
    return reset;
}

QString pad_text(int button) {
    if (button == pad::LeftTrigger || button == pad::RightTrigger) {
        const auto axis = button == pad::LeftTrigger ? SDL_CONTROLLER_AXIS_TRIGGERLEFT
                                                     : SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
        return QString::fromLatin1(SDL_GameControllerGetStringForAxis(axis));
    }
    if (button >= 0 && button < SDL_CONTROLLER_BUTTON_MAX) {
        if (const char* name =
                SDL_GameControllerGetStringForButton(SDL_GameControllerButton(button)))
            return QString::fromLatin1(name);
    }
    return QStringLiteral("none");
}

std::optional<int> pad_from_text(const QString& text) {
    const QString word = text.trimmed();
    if (word == QLatin1String("none"))
        return pad::None;
    for (int b = 0; b < pad::Buttons; ++b) {
        if (word == pad_text(b))
            return b;
    }
    return std::nullopt;
}

}  // namespace grimbolt
