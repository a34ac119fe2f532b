#include "ui/qt/TrayShell.h"

#include "ui/Main.h"
#include "ui/qt/MainWindow.h"

namespace zelvo::qt {

TrayShell::TrayShell(MainWindow& window) : window_(window) {}

TrayShell::~TrayShell() = default;

std::uint32_t TrayShell::MouseMessageFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return Main::kLeftDoubleClick;
    case QSystemTrayIcon::Context:
        return Main::kRightButtonDown;
    case QSystemTrayIcon::Trigger:
        // Qt reports the first click of every double-click as well: a plain button press.
        return Main::kLeftButtonDown;
    case QSystemTrayIcon::MiddleClick:
        return Main::kMiddleButtonDown;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return Main::kMouseMove;
}

bool TrayShell::NotifyIcon(NotifyMessage message, NarrowIconData& record) {
    const NotifyIconData data = FromNarrow(record);
    if (data.hWnd != window_.Handle()) {
        return false;
    }
    if (message == NotifyMessage::Delete) {
        if (!icon_) {
            return false;
        }
        icon_->hide();
        // The delete may come from a handler of this icon's own click (Exit in its menu).
        icon_.release()->deleteLater();
        return true;
    }
    if (icon_ || !QSystemTrayIcon::isSystemTrayAvailable()) {
        return false;
    }
    icon_ = std::make_unique<QSystemTrayIcon>();
    if (data.uFlags & kNifIcon) {
        icon_->setIcon(window_.iconForHandle(data.hIcon));
    }
    if (data.uFlags & kNifTip) {
        const std::u16string_view tip = TipText(data.szTip);
        icon_->setToolTip(QString::fromUtf16(tip.data(), static_cast<qsizetype>(tip.size())));
    }
    if (data.uFlags & kNifMessage) {
        // Queued, as the shell's messages are: the handler may open a menu or remove this
        // very icon, which must not happen inside the tray widget's own mouse handler.
        QObject::connect(
            icon_.get(), &QSystemTrayIcon::activated, &window_,
            [this, data](QSystemTrayIcon::ActivationReason reason) {
                window_.deliverIconNotification(data.uCallbackMessage, data.uID,
                                                MouseMessageFor(reason));
            },
            Qt::QueuedConnection);
    }
    icon_->show();
    return true;
}

} // namespace zelvo::qt
