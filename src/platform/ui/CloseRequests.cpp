#include "platform/ui/CloseRequests.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "platform/ui/DesignWindow.h"

namespace platform {

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

}  // namespace

CloseRequests::CloseRequests() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    protocols_ = Atom(x11->connection(), "WM_PROTOCOLS");
    deleteWindow_ = Atom(x11->connection(), "WM_DELETE_WINDOW");
    watching_ = protocols_ != XCB_ATOM_NONE && deleteWindow_ != XCB_ATOM_NONE;
    if (watching_) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
}

CloseRequests::~CloseRequests() {
    if (watching_ && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool CloseRequests::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
        return false;
    }
    const auto* request = static_cast<const xcb_client_message_event_t*>(message);
    if (request->format != 32 || request->type != protocols_ ||
        request->data.data32[0] != deleteWindow_) {
        return false;
    }
    auto* window = qobject_cast<DesignWindow*>(QWidget::find(request->window));
    if (window == nullptr || !window->AtWork()) {
        return false;
    }
    window->close();
    return true;
}

}  // namespace platform
