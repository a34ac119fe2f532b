// Which protocol the notification-area icon speaks, when, and what a host's clicks mean on
// each: the one place where XEmbed trays and StatusNotifierItem hosts differ.
#pragma once

#include <QString>
#include <QSystemTrayIcon>

#include <cstdint>
#include <optional>

namespace zelvo::qt {

enum class TrayProtocol {
    // An X11 tray manager docks the icon's window; it reports real mouse buttons.
    XEmbed,
    // A host on the session bus (KDE Plasma, GNOME's AppIndicator, the XFCE and LXQt panels,
    // waybar) draws the icon and its exported menu, and calls the item's methods.
    StatusNotifierItem,
};

// Where the icon belongs: a StatusNotifierItem whenever a host of them is registered, since
// such a desktop may show XEmbed icons badly or not at all (xembedsniproxy, GNOME); XEmbed
// only while none is and an X11 tray manager is there; nowhere otherwise.
std::optional<TrayProtocol> ProtocolFor(bool statusNotifierHost, bool xembedTray);

// The mouse message that Windows would report for what an XEmbed tray reports as `reason`:
// a double-click shows the window and a right click opens the menu.
std::uint32_t MouseMessageFor(QSystemTrayIcon::ActivationReason reason);

// The mouse message for a host's call of the item's `method`. Activate is one left click,
// and the way back to the window: it takes the double-click's place. ContextMenu opens
// nothing of ours, as the host draws the exported menu; nor does Scroll.
std::optional<std::uint32_t> MouseMessageForCall(const QString& method);

} // namespace zelvo::qt
