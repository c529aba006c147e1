#include "shell/window_manager.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdlib>
#include <cstring>

namespace grimbolt {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 1, std::uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t a = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

// The window named by a window's _NET_SUPPORTING_WM_CHECK property, or none.
xcb_window_t check_window(xcb_connection_t* c, xcb_window_t of, xcb_atom_t check) {
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(c, 0, of, check, XCB_ATOM_WINDOW, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    xcb_window_t w = XCB_WINDOW_NONE;
    if (reply != nullptr && xcb_get_property_value_length(reply) >= int(sizeof(xcb_window_t)))
        w = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return w;
}

}  // namespace

bool window_manager_runs() {
    // The offscreen platform answers as X11 too, with no connection behind it.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || c == nullptr)
        return true;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    if (screen == nullptr || check == XCB_ATOM_NONE)
        return false;
    // A running manager names a window of its own that names itself again; a manager
    // that died leaves the root's note pointing at a window that is gone.
    const xcb_window_t w = check_window(c, screen->root, check);
    return w != XCB_WINDOW_NONE && check_window(c, w, check) == w;
}

void follow_window_state(QWidget& window, Qt::WindowStates before, const QRect& layout) {
    if (window_manager_runs())
        return;
    const Qt::WindowStates now = window.windowState();
    const Qt::WindowStates large = Qt::WindowMaximized | Qt::WindowFullScreen;
    const QScreen* s = window.screen();
    if (s != nullptr && (now & large) && (now & large) != (before & large))
        window.setGeometry(now & Qt::WindowFullScreen ? s->geometry() : s->availableGeometry());
    else if ((before & large) && now == Qt::WindowNoState)
        window.setGeometry(layout);
}

}  // namespace grimbolt
