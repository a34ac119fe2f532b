#include "ui/qt/tray/TrayProtocol.h"

#include "ui/Main.h"

namespace zelvo::qt {

std::uint32_t MouseMessageFor(Qt::MouseButton button, bool doubleClick) {
    switch (button) {
    case Qt::LeftButton:
        // The first click of every double-click is reported too: a plain press.
        return doubleClick ? Main::kLeftDoubleClick : Main::kLeftButtonDown;
    case Qt::RightButton:
        return Main::kRightButtonDown;
    case Qt::MiddleButton:
        return Main::kMiddleButtonDown;
    default:
        return Main::kMouseMove;
    }
}

std::optional<std::uint32_t> MouseMessageForCall(const QString& method, bool hostReadMenu) {
    if (method == QLatin1String("Activate")) {
        return Main::kLeftDoubleClick;
    }
    if (method == QLatin1String("SecondaryActivate")) {
        return Main::kMiddleButtonDown;
    }
    if (method == QLatin1String("ContextMenu") && !hostReadMenu) {
        return Main::kRightButtonDown;
    }
    return std::nullopt;
}

} // namespace zelvo::qt
