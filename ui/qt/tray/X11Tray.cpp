#include "ui/qt/tray/X11Tray.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xcbext.h> // xcb_poll_for_reply: a reply asked for earlier, without waiting
#include <xcb/xfixes.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace zelvo::qt {
namespace {

std::uint32_t InternAtom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const std::uint32_t atom = reply ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

constexpr std::uint32_t kSystemTrayRequestDock = 0;
constexpr std::uint32_t kXEmbedMapped = 1;

} // namespace

X11Tray::X11Tray(std::function<void(bool)> onChange, QObject* parent)
    : QObject(parent), onChange_(std::move(onChange)) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present) {
        return;
    }
    // The version is the connection's, shared with Qt: asking for less than Qt did would
    // take from Qt what it uses.
    xcb_xfixes_query_version_reply_t* version = xcb_xfixes_query_version_reply(
        connection,
        xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr);
    std::free(version);
    connection_ = connection;
    xfixesFirstEvent_ = xfixes->first_event;
    selection_ = InternAtom(connection, "_NET_SYSTEM_TRAY_S0");
    opcode_ = InternAtom(connection, "_NET_SYSTEM_TRAY_OPCODE");
    xembedInfo_ = InternAtom(connection, "_XEMBED_INFO");
    trayVisual_ = InternAtom(connection, "_NET_SYSTEM_TRAY_VISUAL");
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_xfixes_select_selection_input(connection, root_, selection_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    // Asked once, at the start; from then on the X server tells of every change.
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection_), nullptr);
    owner_ = owner ? owner->owner : std::uint32_t{XCB_WINDOW_NONE};
    std::free(owner);
    askVisual();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11Tray::~X11Tray() {
    if (connection_ && visualRequest_) {
        xcb_discard_reply(connection_, visualRequest_);
    }
    if (connection_ && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool X11Tray::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY) {
        const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        // trayer may size its socket before it has read the window's hints: a window given
        // less than its smallest size asks to be docked once more, and trayer reads them then.
        if (configure->window == docked_ && configure->width < dockedSize_ && !dockAskedAgain_) {
            dockAskedAgain_ = true;
            sendDockRequest(docked_);
        }
        return false;
    }
    if ((event->response_type & 0x7f) == XCB_REPARENT_NOTIFY) {
        const auto* reparent = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
        if (reparent->window == docked_ && reparent->parent != root_ && taken_) {
            // Run after Qt has handled the event itself.
            QMetaObject::invokeMethod(this, std::exchange(taken_, {}), Qt::QueuedConnection);
        }
        return false;
    }
    if ((event->response_type & 0x7f) != xfixesFirstEvent_ + XCB_XFIXES_SELECTION_NOTIFY) {
        return false;
    }
    const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
    if (notify->selection != selection_) {
        return false;
    }
    const bool set = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER;
    ownerIs(set ? notify->owner : std::uint32_t{XCB_WINDOW_NONE});
    return false; // others may watch the same selection
}

void X11Tray::ownerIs(std::uint32_t owner) {
    if (owner == owner_) {
        return;
    }
    const bool had = owner_ != XCB_WINDOW_NONE;
    owner_ = owner;
    askVisual();
    // A new manager took over from a live one: what was docked went with the old one.
    if (had) {
        onChange_(false);
    }
    if (owner_ != XCB_WINDOW_NONE) {
        onChange_(true);
    }
}

// Sent now and read when an icon is made, by then long answered: the GUI thread never
// waits on the X server for it.
void X11Tray::askVisual() {
    if (visualRequest_) {
        xcb_discard_reply(connection_, visualRequest_);
    }
    visualRequest_ = 0;
    argb_ = false;
    if (owner_ != XCB_WINDOW_NONE) {
        visualRequest_ =
            xcb_get_property(connection_, 0, owner_, trayVisual_, XCB_ATOM_VISUALID, 0, 1).sequence;
        xcb_flush(connection_);
    }
}

bool X11Tray::offersArgb() {
    void* answer = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (visualRequest_ && xcb_poll_for_reply(connection_, visualRequest_, &answer, &error)) {
        visualRequest_ = 0;
        auto* reply = static_cast<xcb_get_property_reply_t*>(answer);
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4) {
            argb_ = isArgb(*static_cast<std::uint32_t*>(xcb_get_property_value(reply)));
        }
        std::free(reply);
        std::free(error);
    }
    return argb_;
}

bool X11Tray::isArgb(std::uint32_t visual) const {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem;
         xcb_depth_next(&depth)) {
        for (auto type = xcb_depth_visuals_iterator(depth.data); type.rem;
             xcb_visualtype_next(&type)) {
            if (type.data->visual_id == visual) {
                return depth.data->depth == 32;
            }
        }
    }
    return false;
}

void X11Tray::setMinimumSize(std::uint32_t window, int size) const {
    constexpr std::uint32_t kMinSize = 1u << 4;
    std::uint32_t hints[18] = {kMinSize};
    hints[5] = hints[6] = static_cast<std::uint32_t>(size);
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
}

void X11Tray::dock(std::uint32_t window, int size, std::function<void()> taken) {
    if (!connection_ || owner_ == XCB_WINDOW_NONE) {
        return;
    }
    docked_ = window;
    dockedSize_ = size;
    dockAskedAgain_ = false;
    taken_ = std::move(taken);
    // Trays take an icon's size from its smallest size.
    setMinimumSize(window, size);
    // Mapped by the tray as soon as it has embedded it.
    const std::uint32_t info[] = {0, kXEmbedMapped};
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, xembedInfo_, xembedInfo_, 32, 2,
                        info);
    sendDockRequest(window);
}

void X11Tray::sendDockRequest(std::uint32_t window) const {
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = owner_;
    request.type = opcode_;
    request.data.data32[0] = XCB_CURRENT_TIME;
    request.data.data32[1] = kSystemTrayRequestDock;
    request.data.data32[2] = window;
    xcb_send_event(connection_, 0, owner_, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(connection_);
}

} // namespace zelvo::qt
