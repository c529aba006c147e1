#pragma once
// Whether something besides the program places and maximizes its windows, and what the
// program does itself where nothing does.

#include <QRect>
#include <Qt>

class QWidget;

namespace grimbolt {

// True on Wayland (the compositor), under an X11 window manager and on the other
// platforms, which maximize on their own; false on an X11 display that no window
// manager runs, where a maximize request is only a note that nobody acts on.
bool window_manager_runs();

// A window's state changed from `before` to its state of now. Where no window manager
// runs, the window does what one would: maximized it takes the display's free area,
// full screen the whole display, and restored it goes back to `layout`.
void follow_window_state(QWidget& window, Qt::WindowStates before, const QRect& layout);

}  // namespace grimbolt
