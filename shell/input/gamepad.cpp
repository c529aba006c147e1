#include "shell/input/gamepad.h"

#include <SDL2/SDL.h>

#include <QGuiApplication>
#include <QStyleHints>
#include <algorithm>

#include "core/keys.h"
#include "shell/input/repeat.h"

namespace grimbolt {
namespace {

// The left stick counts as a pressed arrow past 37 % of its throw and lets go below
// 24 % (the dead zone most pads are sold with), so a stick resting near the edge does not
// chatter.
constexpr int kStickOn = 12000;
constexpr int kStickOff = 8000;
// A trigger is a button pulled past half way, let go below a quarter.
constexpr int kTriggerOn = 16000;
constexpr int kTriggerOff = 8000;

// A pad whose device node wakes the program needs no clock: the clock only looks for
// new pads. A pad without one is read often while it is played, and less when it rests.
constexpr int kPollLookMs = 250;
constexpr int kPollPlayedMs = 8;
constexpr int kPollRestingMs = 50;
constexpr int kRestAfterMs = 1000;

}  // namespace

Gamepad::Gamepad(QObject* parent) : QObject(parent) {
    connect(&poll_timer_, &QTimer::timeout, this, &Gamepad::poll);
    repeat_timer_.setSingleShot(true);
    connect(&repeat_timer_, &QTimer::timeout, this, &Gamepad::repeat);
}

Gamepad::~Gamepad() {
    if (!started_)
        return;
    for (const Pad& pad : pads_)
        SDL_GameControllerClose(pad.controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Gamepad::start() {
    if (started_)
        return true;
    // Ctrl+C and the desktop's "end" must still end the program, not become SDL events.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        error_ = QString::fromUtf8(SDL_GetError());
        return false;
    }
    started_ = true;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        open(i);
    pace();
    return true;
}

void Gamepad::poll() {
    if (!started_)
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type >= SDL_CONTROLLERAXISMOTION && e.type <= SDL_CONTROLLERBUTTONUP)
            since_input_.start();
        switch (e.type) {
            case SDL_CONTROLLERDEVICEADDED:
                open(e.cdevice.which);
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                close(e.cdevice.which);
                break;
            case SDL_CONTROLLERBUTTONDOWN:
                press(e.cbutton.which, e.cbutton.button);
                break;
            case SDL_CONTROLLERBUTTONUP:
                release(e.cbutton.which, e.cbutton.button);
                break;
            case SDL_CONTROLLERAXISMOTION:
                if (const auto pad = find_pad(e.caxis.which); pad != pads_.end()) {
                    if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
                        stick(*pad, e.caxis.value);
                    else if (e.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT)
                        trigger(*pad, 0, e.caxis.value);
                    else if (e.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT)
                        trigger(*pad, 1, e.caxis.value);
                }
                break;
            default:
                break;
        }
    }
    pace();
}

void Gamepad::open(int device_index) {
    if (!SDL_IsGameController(device_index))
        return;
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
    if (find_pad(id) != pads_.end())
        return;
    SDL_GameController* controller = SDL_GameControllerOpen(device_index);
    if (controller == nullptr)
        return;
    Pad pad{id, controller, nullptr};
    if (const char* path = SDL_GameControllerPath(controller)) {
        pad.watch = std::make_unique<DeviceWatch>(QString::fromLocal8Bit(path));
        connect(pad.watch.get(), &DeviceWatch::ready, this, &Gamepad::poll);
    }
    pads_.push_back(std::move(pad));
}

void Gamepad::close(std::int32_t pad) {
    // A pad pulled out with buttons held lets go of their keys: no jet left burning.
    std::vector<int> buttons;
    for (const Held& h : held_) {
        if (h.pad == pad)
            buttons.push_back(h.button);
    }
    for (const int button : buttons)
        release(pad, button);
    if (const auto it = find_pad(pad); it != pads_.end()) {
        SDL_GameControllerClose(it->controller);
        // Its watch may be the one that woke this call.
        if (it->watch != nullptr)
            it->watch.release()->deleteLater();
        pads_.erase(it);
    }
}

std::vector<Gamepad::Pad>::iterator Gamepad::find_pad(std::int32_t id) {
    return std::find_if(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == id; });
}

std::vector<Gamepad::Held>::iterator Gamepad::find_held(std::int32_t pad, int button) {
    return std::find_if(held_.begin(), held_.end(),
                        [&](const Held& h) { return h.pad == pad && h.button == button; });
}

bool Gamepad::holds(std::int16_t code) const {
    return std::any_of(held_.begin(), held_.end(), [&](const Held& h) { return h.code == code; });
}

void Gamepad::press(std::int32_t pad, int button) {
    emit pressed(button);
    const Context context = context_();
    if (!context.listening || find_held(pad, button) != held_.end())
        return;
    const std::optional<Action> action = bindings_.action_of(button, context.in_shop);
    if (!action)
        return;
    const std::int16_t code = game_code(*action);
    if (code == key::None) {
        emit command(*action);  // a command runs on the press; its release is nothing
        return;
    }
    // The D-pad and the stick, or two pads, holding one key press it once.
    const bool first = !holds(code);
    held_.push_back({pad, button, code});
    if (!first)
        return;
    emit keyDown(code, 0);
    if (code == key::Shift)
        repeat_timer_.start(kRepeatDelayMs);
}

void Gamepad::release(std::int32_t pad, int button) {
    const auto it = find_held(pad, button);
    if (it == held_.end())
        return;
    const std::int16_t code = it->code;
    held_.erase(it);
    if (holds(code))
        return;
    if (code == key::Shift)
        repeat_timer_.stop();
    emit keyUp(code, 0);
}

void Gamepad::stick(Pad& pad, int value) {
    int side = pad.stick;
    if (value <= -kStickOn)
        side = -1;
    else if (value >= kStickOn)
        side = 1;
    else if (value > -kStickOff && value < kStickOff)
        side = 0;
    if (side == pad.stick)
        return;
    if (pad.stick != 0)
        release(pad.id, pad.stick < 0 ? pad::StickLeft : pad::StickRight);
    pad.stick = side;
    if (side != 0)
        press(pad.id, side < 0 ? pad::StickLeft : pad::StickRight);
}

void Gamepad::trigger(Pad& pad, int which, int value) {
    bool& held = pad.triggers[std::size_t(which)];
    const bool now = held ? value >= kTriggerOff : value >= kTriggerOn;
    if (now == held)
        return;
    held = now;
    const int button = which == 0 ? pad::LeftTrigger : pad::RightTrigger;
    if (now)
        press(pad.id, button);
    else
        release(pad.id, button);
}

// Held fire fires again, as a held Shift key does with the keyboard's repeats.
void Gamepad::repeat() {
    if (!holds(key::Shift))
        return;
    if (context_().listening)
        emit keyDown(key::Shift, 0);
    repeat_timer_.start(repeat_interval_ms());
}

void Gamepad::pace() {
    const bool clocked = std::any_of(pads_.begin(), pads_.end(), [](const Pad& p) {
        return p.watch == nullptr || !p.watch->watching();
    });
    const bool played = since_input_.isValid() && since_input_.elapsed() < kRestAfterMs;
    const int interval = !clocked ? kPollLookMs : played ? kPollPlayedMs : kPollRestingMs;
    if (!poll_timer_.isActive() || poll_timer_.interval() != interval)
        poll_timer_.start(interval);
}

}  // namespace grimbolt
