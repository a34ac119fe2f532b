#include "ui/qt/TrayShell.h"

#include "ui/qt/MainWindow.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

namespace zelvo::qt {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
constexpr int kXEmbedPollMs = 1000;

bool OnX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

TrayShell::TrayShell(MainWindow& window, std::function<void()> onHostAppeared)
    : window_(window), onHostAppeared_(std::move(onHostAppeared)) {
    watchForHosts();
}

TrayShell::~TrayShell() = default;

void TrayShell::watchForHosts() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        // A panel that starts after the program, or restarts, registers its watcher anew;
        // its host may register a moment later, which the watcher announces.
        auto* watcher = new QDBusServiceWatcher(kWatcherService, bus,
                                                QDBusServiceWatcher::WatchForRegistration, this);
        connect(watcher, &QDBusServiceWatcher::serviceRegistered, this,
                &TrayShell::statusNotifierHostRegistered);
        bus.connect(kWatcherService, QStringLiteral("/StatusNotifierWatcher"), kWatcherService,
                    QStringLiteral("StatusNotifierHostRegistered"), this,
                    SLOT(statusNotifierHostRegistered()));
    }
    if (OnX11()) {
        // An X11 tray manager announces itself only to those who watch its selection; while
        // the icon has no tray, asking once a second is enough and costs nothing noticeable.
        xembedPoll_ = new QTimer(this);
        xembedPoll_->setInterval(kXEmbedPollMs);
        connect(xembedPoll_, &QTimer::timeout, this, [this] {
            if (!icon_ && protocol_ != TrayProtocol::StatusNotifierItem && trayAvailable()) {
                onHostAppeared_();
            }
        });
    }
}

void TrayShell::statusNotifierHostRegistered() {
    if (!deleted_ && protocol_ != TrayProtocol::XEmbed && StatusNotifierHostPresent()) {
        onHostAppeared_();
    }
}

bool TrayShell::trayAvailable() {
    if (protocol_ == TrayProtocol::StatusNotifierItem) {
        return StatusNotifierHostPresent();
    }
    if (!protocol_ && StatusNotifierHostPresent()) {
        // Qt makes the same test when its first tray icon is made, and keeps the answer.
        protocol_ = TrayProtocol::StatusNotifierItem;
        return true;
    }
    // Without a host on the bus, Qt's tray is XEmbed for the rest of the run once Qt has been
    // asked; on Wayland there is no XEmbed, so Qt is not asked until a host appears.
    if (!OnX11()) {
        return false;
    }
    protocol_ = TrayProtocol::XEmbed;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayShell::NotifyIcon(NotifyMessage message, NarrowIconData& record) {
    const NotifyIconData data = FromNarrow(record);
    if (data.hWnd != window_.Handle()) {
        return false;
    }
    if (message == NotifyMessage::Delete) {
        deleted_ = true;
        if (xembedPoll_) {
            xembedPoll_->stop();
        }
        if (!icon_) {
            return false;
        }
        removeIcon();
        return true;
    }
    if (deleted_) {
        return false;
    }
    // Added again (the host came back): the old icon goes, the same record makes a new one.
    if (icon_) {
        removeIcon();
    }
    if (!trayAvailable()) {
        if (xembedPoll_ && protocol_ != TrayProtocol::StatusNotifierItem) {
            xembedPoll_->start();
        }
        return false;
    }
    if (xembedPoll_) {
        xembedPoll_->stop();
    }
    addIcon(data);
    return true;
}

void TrayShell::addIcon(const NotifyIconData& data) {
    icon_ = std::make_unique<QSystemTrayIcon>();
    if (data.uFlags & kNifIcon) {
        icon_->setIcon(window_.iconForHandle(data.hIcon));
    }
    if (data.uFlags & kNifTip) {
        const std::u16string_view tip = TipText(data.szTip);
        icon_->setToolTip(QString::fromUtf16(tip.data(), static_cast<qsizetype>(tip.size())));
    }
    const TrayProtocol protocol = protocol_.value_or(TrayProtocol::XEmbed);
    if (HostDrawsMenu(protocol)) {
        icon_->setContextMenu(window_.iconPopup());
    }
    if (data.uFlags & kNifMessage) {
        // Queued, as the shell's messages are: the handler may open a menu or remove this
        // very icon, which must not happen inside the tray widget's own mouse handler.
        QObject::connect(
            icon_.get(), &QSystemTrayIcon::activated, &window_,
            [this, data, protocol](QSystemTrayIcon::ActivationReason reason) {
                window_.deliverIconNotification(data.uCallbackMessage, data.uID,
                                                MouseMessageFor(protocol, reason));
            },
            Qt::QueuedConnection);
    }
    icon_->show();
}

void TrayShell::removeIcon() {
    icon_->hide();
    // The delete may come from a handler of this icon's own click (Exit in its menu).
    icon_.release()->deleteLater();
}

} // namespace zelvo::qt
