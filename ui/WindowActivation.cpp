// SPDX-License-Identifier: GPL-3.0-or-later
// Brings the window to the front on behalf of a later launch, with the desktop's permission to do so.
#include "ui/WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef BRISKLET_HAVE_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#endif

namespace {

#ifdef BRISKLET_HAVE_XCB

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return value;
}

// The time stamp of the user's action that the launcher put into the id ("..._TIME<number>"), or 0.
uint32_t timeOf(const QByteArray& startupId) {
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0) {
        return 0;
    }
    bool ok = false;
    const uint32_t time = startupId.mid(at + 5).toUInt(&ok);
    return ok ? time : 0;
}

// The startup-notification protocol's "remove" message, sent to the root window in pieces of 20 bytes,
// the first as _NET_STARTUP_INFO_BEGIN; the terminating NUL travels with it.
void sendStartupRemove(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                       const QByteArray& startupId) {
    QByteArray message = "remove: ID=\"";
    for (const char c : startupId) {
        if (c == '"' || c == '\\') {
            message += '\\';
        }
        message += c;
    }
    message += '"';
    message += '\0';
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    for (qsizetype offset = 0; offset < message.size(); offset += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = window;
        event.type = offset == 0 ? begin : more;
        const qsizetype length = std::min<qsizetype>(20, message.size() - offset);
        std::memcpy(event.data.data8, message.constData() + offset, static_cast<size_t>(length));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
}

void presentStartupId(QWidget* window, const QByteArray& startupId) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) {
        return;
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_STARTUP_ID"),
                        atom(connection, "UTF8_STRING"), 8, static_cast<uint32_t>(startupId.size()),
                        startupId.constData());
    sendStartupRemove(connection, screen->root, id, startupId);
    // Source 1: an application asking on the user's behalf, at the time of the user's own action.
    xcb_client_message_event_t activate{};
    activate.response_type = XCB_CLIENT_MESSAGE;
    activate.format = 32;
    activate.window = id;
    activate.type = atom(connection, "_NET_ACTIVE_WINDOW");
    activate.data.data32[0] = 1;
    activate.data.data32[1] = timeOf(startupId);
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&activate));
    xcb_flush(connection);
}

#endif

} // namespace

void activateForLaunch(QWidget* window, const QByteArray& token) {
    window->show();
    window->raise();
    const QString platform = QGuiApplication::platformName();
    if (!token.isEmpty() && platform == QLatin1String("wayland")) {
        // Qt's Wayland client hands this token to the compositor with the next activation, then drops it.
        qputenv("XDG_ACTIVATION_TOKEN", token);
    }
#ifdef BRISKLET_HAVE_XCB
    if (!token.isEmpty() && platform == QLatin1String("xcb")) {
        presentStartupId(window, token);
    }
#endif
    window->activateWindow();
    // Used or not, the token is spent: programs started from the window later must not present it.
    qunsetenv("XDG_ACTIVATION_TOKEN");
}
