#pragma once
// A gamepad made of SDL's virtual joystick, for the tests and the benchmarks: plugged in
// while it lives, with buttons and a left stick set by hand. The game reads it as any pad.

#include <SDL2/SDL.h>

namespace grimbolt::testing {

class VirtualPad {
  public:
    VirtualPad() {
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        SDL_VirtualJoystickDesc d{};
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        d.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        d.name = "virtual pad";
        joystick_ = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&d));
    }
    ~VirtualPad() {
        unplug();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    void set(int button, bool down) { SDL_JoystickSetVirtualButton(joystick_, button, down); }
    void stick(int x) { SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, x); }
    // A trigger pulled in from 0 to 32767; SDL spreads a virtual trigger's whole raw range
    // over that.
    void trigger(int which, int value) {
        SDL_JoystickSetVirtualAxis(joystick_, which, Sint16(2 * value - 32767));
    }
    void unplug() {
        if (joystick_ == nullptr)
            return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
        }
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
    }

  private:
    SDL_Joystick* joystick_ = nullptr;
};

}  // namespace grimbolt::testing
