// What a host's clicks mean on each kind of tray: the one place where XEmbed trays and
// StatusNotifierItem hosts differ for the window's handlers.
#pragma once

#include "ui/qt/tray/rules/TrayState.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace zelvo::qt {

// The mouse message that Windows would report for `button` pressed on the icon in an X11
// tray: a double-click shows the window and a right press opens the menu.
std::uint32_t MouseMessageFor(Qt::MouseButton button, bool doubleClick);

// The mouse message for a host's call of the item's `method`. Activate is one left click,
// and the way back to the window: it takes the double-click's place. ContextMenu opens
// Zelvo's menu only for a host that has not read the exported menu (one that has draws it
// itself, and a second menu must not open); Scroll opens nothing.
std::optional<std::uint32_t> MouseMessageForCall(const QString& method, bool hostReadMenu);

} // namespace zelvo::qt
