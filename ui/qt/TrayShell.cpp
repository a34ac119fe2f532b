#include "ui/qt/TrayShell.h"

#include "ui/qt/MainWindow.h"
#include "ui/qt/StatusNotifierItem.h"
#include "Version.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

namespace zelvo::qt {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
// An X11 tray manager announces itself only to those who watch its selection; asking once
// a second is enough, and notices a tray that comes or goes within the next second.
constexpr int kXEmbedPollMs = 1000;
// A panel that offers both kinds starts its X11 tray a moment before its StatusNotifierItem
// host: an X11 tray counts once it has been there for two polls in a row.
constexpr int kXEmbedPollsToTrust = 2;
// A watcher that dropped the item is asked again after a pause, never in a tight loop.
constexpr int kRegisterAgainMs = 1000;

// Whether an X11 tray manager owns the tray selection of the first screen now.
bool XEmbedTrayPresent() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        return false;
    }
    xcb_connection_t* connection = x11->connection();
    static xcb_atom_t selection = XCB_ATOM_NONE;
    if (selection == XCB_ATOM_NONE) {
        const char name[] = "_NET_SYSTEM_TRAY_S0";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
        if (!atom) {
            return false;
        }
        selection = atom->atom;
        free(atom);
    }
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool present = owner && owner->owner != XCB_WINDOW_NONE;
    free(owner);
    return present;
}

} // namespace

TrayShell::TrayShell(MainWindow& window, std::function<void()> onHostAppeared,
                     std::function<void()> onHostLost)
    : window_(window), onHostAppeared_(std::move(onHostAppeared)),
      onHostLost_(std::move(onHostLost)) {
    watchForHosts();
}

TrayShell::~TrayShell() = default;

void TrayShell::watchForHosts() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        // A panel that starts after the program, restarts or quits takes its watcher along.
        auto* watcher = new QDBusServiceWatcher(kWatcherService, bus,
                                                QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString&, const QString&, const QString& owner) {
                    watcherOwnerChanged(owner);
                });
        bus.connect(kWatcherService, kWatcherPath, kWatcherService,
                    QStringLiteral("StatusNotifierHostRegistered"), this,
                    SLOT(statusNotifierHostRegistered()));
        bus.connect(kWatcherService, kWatcherPath, kWatcherService,
                    QStringLiteral("StatusNotifierHostUnregistered"), this,
                    SLOT(statusNotifierHostUnregistered()));
        bus.connect(kWatcherService, kWatcherPath, kWatcherService,
                    QStringLiteral("StatusNotifierItemUnregistered"), this,
                    SLOT(statusNotifierItemUnregistered(QString)));
        askWhetherHostRegistered();
    } else {
        hostKnown_ = true;
    }
    if (qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xembedSeen_ = XEmbedTrayPresent() ? kXEmbedPollsToTrust : 0;
        host_.setXEmbedTray(xembedSeen_ >= kXEmbedPollsToTrust);
        xembedPoll_ = new QTimer(this);
        xembedPoll_->setInterval(kXEmbedPollMs);
        connect(xembedPoll_, &QTimer::timeout, this, &TrayShell::pollXEmbedTray);
        xembedPoll_->start();
    }
}

void TrayShell::askWhetherHostRegistered() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const unsigned question = ++hostQuestion_;
    // Never waited for: a watcher that hangs cannot hang the window.
    auto* pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, question](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (question != hostQuestion_ || deleted_) {
                    return;
                }
                const QDBusPendingReply<QDBusVariant> reply = *call;
                statusNotifierHostIs(!reply.isError() && reply.value().variant().toBool());
            });
}

void TrayShell::statusNotifierHostIs(bool registered) {
    if (deleted_) {
        return;
    }
    const TrayHost::Change change = host_.setStatusNotifierHost(registered);
    if (!hostKnown_) {
        // The first word on the host, by answer or by signal: an icon added before it is
        // placed now.
        hostKnown_ = true;
        if (record_) {
            placeIcon();
            return;
        }
    }
    follow(change);
    if (placed_ == TrayProtocol::StatusNotifierItem) {
        registerItem();
    }
}

void TrayShell::watcherOwnerChanged(const QString& owner) {
    // A new watcher knows nothing of the item; a vanished one took its hosts along.
    ++watcherGeneration_;
    registration_ = Registration::None;
    if (owner.isEmpty()) {
        ++hostQuestion_; // an answer still on its way is stale
        statusNotifierHostIs(false);
    } else {
        askWhetherHostRegistered();
    }
}

void TrayShell::statusNotifierHostRegistered() {
    ++hostQuestion_; // the signal is newer than any answer on its way
    statusNotifierHostIs(true);
}

void TrayShell::statusNotifierHostUnregistered() {
    // Another host may still be registered: the watcher knows.
    askWhetherHostRegistered();
}

void TrayShell::statusNotifierItemUnregistered(const QString& service) {
    if (!item_ || item_->serviceName().isEmpty() || !service.contains(item_->serviceName())) {
        return;
    }
    registration_ = Registration::None;
    QTimer::singleShot(kRegisterAgainMs, this, [this] {
        if (placed_ == TrayProtocol::StatusNotifierItem) {
            registerItem();
        }
    });
}

void TrayShell::pollXEmbedTray() {
    xembedSeen_ = XEmbedTrayPresent() ? xembedSeen_ + 1 : 0;
    follow(host_.setXEmbedTray(xembedSeen_ >= kXEmbedPollsToTrust));
}

void TrayShell::follow(TrayHost::Change change) {
    if (!record_ || deleted_ || !hostKnown_) {
        return;
    }
    switch (change) {
    case TrayHost::Change::None:
        break;
    case TrayHost::Change::Appeared:
    case TrayHost::Change::Moved:
        onHostAppeared_(); // the record is added again, and lands on the new host
        break;
    case TrayHost::Change::Lost:
        removeIcon();
        onHostLost_();
        break;
    }
}

bool TrayShell::NotifyIcon(NotifyMessage message, NarrowIconData& record) {
    const NotifyIconData data = FromNarrow(record);
    if (data.hWnd != window_.Handle()) {
        return false;
    }
    if (message == NotifyMessage::Delete) {
        const bool stood = placed_.has_value();
        deleted_ = true;
        record_.reset();
        if (xembedPoll_) {
            xembedPoll_->stop();
        }
        removeIcon();
        return stood;
    }
    if (deleted_) {
        return false;
    }
    record_ = data;
    // Before the first answer from the bus, the icon waits for it: a desktop with both kinds
    // of tray then gets a StatusNotifierItem at once, not an X11 icon that moves a moment later.
    return hostKnown_ ? placeIcon() : true;
}

bool TrayShell::placeIcon() {
    // Added again (the host came back, or another kind took over): the old icon goes first.
    removeIcon();
    const auto protocol = host_.protocol();
    if (protocol == TrayProtocol::StatusNotifierItem) {
        addStatusNotifierItem(*record_);
    } else if (protocol == TrayProtocol::XEmbed) {
        addXEmbedIcon(*record_);
    }
    return placed_.has_value();
}

bool TrayShell::IconShown() const {
    if (placed_ == TrayProtocol::XEmbed) {
        return XEmbedTrayPresent(); // asked now: a tray that just quit shows nothing
    }
    if (placed_ == TrayProtocol::StatusNotifierItem) {
        return host_.protocol() == TrayProtocol::StatusNotifierItem &&
               registration_ == Registration::Done;
    }
    return false;
}

void TrayShell::addXEmbedIcon(const NotifyIconData& data) {
    xembedIcon_ = std::make_unique<QSystemTrayIcon>();
    if (data.uFlags & kNifIcon) {
        xembedIcon_->setIcon(window_.iconForHandle(data.hIcon));
    }
    if (data.uFlags & kNifTip) {
        const std::u16string_view tip = TipText(data.szTip);
        xembedIcon_->setToolTip(QString::fromUtf16(tip.data(), static_cast<qsizetype>(tip.size())));
    }
    if (data.uFlags & kNifMessage) {
        // Queued, as the shell's messages are: the handler may open a menu or remove this
        // very icon, which must not happen inside the tray widget's own mouse handler.
        QObject::connect(
            xembedIcon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { deliver(MouseMessageFor(reason)); },
            Qt::QueuedConnection);
    }
    xembedIcon_->show();
    placed_ = TrayProtocol::XEmbed;
}

void TrayShell::addStatusNotifierItem(const NotifyIconData& data) {
    const std::u16string_view tip = TipText(data.szTip);
    const QString caption = (data.uFlags & kNifTip)
                                ? QString::fromUtf16(tip.data(), static_cast<qsizetype>(tip.size()))
                                : QString();
    item_ = std::make_unique<StatusNotifierItem>(
        QString::fromLatin1(kProgramName.data(), static_cast<qsizetype>(kProgramName.size())),
        caption, (data.uFlags & kNifIcon) ? IconPixmaps() : SniPixmaps(), window_.iconPopup(),
        [this](const QString& method, const QString& activationToken) {
            const auto message = MouseMessageForCall(method);
            if (!message) {
                return;
            }
            // On Wayland the compositor focuses a window only with the host's token.
            if (!activationToken.isEmpty()) {
                qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
            }
            deliver(*message);
        });
    if (!item_->exportOn(QDBusConnection::sessionBus())) {
        item_.reset();
        return;
    }
    placed_ = TrayProtocol::StatusNotifierItem;
    registration_ = Registration::None;
    registerItem();
}

void TrayShell::registerItem() {
    if (!item_ || registration_ != Registration::None) {
        return;
    }
    registration_ = Registration::Asked;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kWatcherService,
                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << item_->serviceName();
    auto* pending =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    const QString service = item_->serviceName();
    const unsigned watcher = watcherGeneration_;
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, service, watcher](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (item_ && item_->serviceName() == service && watcher == watcherGeneration_) {
                    registration_ = call->isError() ? Registration::None : Registration::Done;
                }
            });
}

void TrayShell::removeIcon() {
    if (xembedIcon_) {
        xembedIcon_->hide();
        // The delete may come from a handler of this icon's own click (Exit in its menu).
        xembedIcon_.release()->deleteLater();
    }
    if (item_) {
        item_->withdraw();
        // Its calls are queued to itself: deleted later, none of them outlives it.
        item_.release()->deleteLater();
    }
    registration_ = Registration::None;
    placed_.reset();
}

void TrayShell::deliver(std::uint32_t mouseMessage) {
    if (record_ && (record_->uFlags & kNifMessage)) {
        window_.deliverIconNotification(record_->uCallbackMessage, record_->uID, mouseMessage);
    }
}

} // namespace zelvo::qt
