#include "ui/qt/TrayProtocol.h"

#include "ui/Main.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

namespace zelvo::qt {

bool StatusNotifierHostPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierWatcher")
        << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusReply<QDBusVariant> reply = bus.call(get, QDBus::Block, 2000);
    return reply.isValid() && reply.value().variant().toBool();
}

std::uint32_t MouseMessageFor(TrayProtocol protocol, QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return Main::kLeftDoubleClick;
    case QSystemTrayIcon::Context:
        return Main::kRightButtonDown;
    case QSystemTrayIcon::Trigger:
        // An XEmbed tray reports the first click of every double-click as well: a plain
        // button press. A StatusNotifierItem host's activation is the way back to the window.
        return protocol == TrayProtocol::StatusNotifierItem ? Main::kLeftDoubleClick
                                                            : Main::kLeftButtonDown;
    case QSystemTrayIcon::MiddleClick:
        return Main::kMiddleButtonDown;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return Main::kMouseMove;
}

bool HostDrawsMenu(TrayProtocol protocol) {
    return protocol == TrayProtocol::StatusNotifierItem;
}

} // namespace zelvo::qt
