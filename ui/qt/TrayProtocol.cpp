#include "ui/qt/TrayProtocol.h"

#include "ui/Main.h"

namespace zelvo::qt {

std::optional<TrayProtocol> ProtocolFor(bool statusNotifierHost, bool xembedTray) {
    if (statusNotifierHost) {
        return TrayProtocol::StatusNotifierItem;
    }
    if (xembedTray) {
        return TrayProtocol::XEmbed;
    }
    return std::nullopt;
}

std::uint32_t MouseMessageFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return Main::kLeftDoubleClick;
    case QSystemTrayIcon::Context:
        return Main::kRightButtonDown;
    case QSystemTrayIcon::Trigger:
        // The tray reports the first click of every double-click as well: a plain press.
        return Main::kLeftButtonDown;
    case QSystemTrayIcon::MiddleClick:
        return Main::kMiddleButtonDown;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return Main::kMouseMove;
}

std::optional<std::uint32_t> MouseMessageForCall(const QString& method) {
    if (method == QLatin1String("Activate")) {
        return Main::kLeftDoubleClick;
    }
    if (method == QLatin1String("SecondaryActivate")) {
        return Main::kMiddleButtonDown;
    }
    return std::nullopt;
}

} // namespace zelvo::qt
