#pragma once
// Whether something besides the program places and maximizes its windows.

namespace grimbolt {

// True on Wayland (the compositor), under an X11 window manager and on the other
// platforms, which maximize on their own; false on an X11 display that no window
// manager runs, where a maximize request is only a note that nobody acts on.
bool window_manager_runs();

}  // namespace grimbolt
