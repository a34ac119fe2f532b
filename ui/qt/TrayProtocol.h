// Which protocol the notification-area icon speaks, and what a host's clicks mean on each:
// the one place where XEmbed trays and StatusNotifierItem hosts differ.
#pragma once

#include <QSystemTrayIcon>

#include <cstdint>

namespace zelvo::qt {

enum class TrayProtocol {
    // An X11 tray manager docks the icon's window; it reports real mouse buttons.
    XEmbed,
    // A host on the session bus (KDE Plasma, GNOME's AppIndicator, the XFCE and LXQt panels,
    // waybar) draws the icon and its exported menu, and reports activations, not buttons.
    StatusNotifierItem,
};

// True when a StatusNotifierWatcher with a registered host is on the session bus: the test
// by which Qt puts a tray icon on the D-Bus protocol.
bool StatusNotifierHostPresent();

// The mouse message that Windows would report for what Qt reports as `reason`. On XEmbed a
// double-click shows the window and a right click opens the menu; a host of
// StatusNotifierItem activates with one left click, which takes the double-click's place.
std::uint32_t MouseMessageFor(TrayProtocol protocol, QSystemTrayIcon::ActivationReason reason);

// Whether the icon hands its menu to the host. A StatusNotifierItem host draws the menu it is
// given; an XEmbed tray would open it itself on a right click, besides the program's own.
bool HostDrawsMenu(TrayProtocol protocol);

} // namespace zelvo::qt
