#include "ui/qt/tray/TrayShell.h"

#include "ui/qt/MainWindow.h"
#include "ui/qt/tray/StatusNotifierItem.h"
#include "ui/qt/tray/TrayProtocol.h"
#include "ui/qt/tray/X11Tray.h"
#include "ui/qt/tray/XEmbedIcon.h"
#include "Version.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace zelvo::qt {
namespace {

// The tray's account of itself, off unless asked for: QT_LOGGING_RULES="zelvo.tray.debug=true".
// Each event that reached the rules with the actions it led to, and each call of a host.
Q_LOGGING_CATEGORY(lcTray, "zelvo.tray", QtInfoMsg)

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kHostPrefix = QStringLiteral("org.kde.StatusNotifierHost-");
bool IsKdedName(const QString& name) {
    return name == QLatin1String("org.kde.kded5") || name == QLatin1String("org.kde.kded6");
}
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

using Kind = TrayState::Action::Kind;

QDBusMessage BusCall(const QString& method) {
    return QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, method);
}

QString TipOf(const NotifyIconData& data) {
    if (!(data.uFlags & kNifTip)) {
        return {};
    }
    const std::u16string_view tip = TipText(data.szTip);
    return QString::fromUtf16(tip.data(), static_cast<qsizetype>(tip.size()));
}

const char* NameOf(TrayState::Timer timer) {
    switch (timer) {
    case TrayState::Timer::HostAnswer:
        return "HostAnswer";
    case TrayState::Timer::Registration:
        return "Registration";
    case TrayState::Timer::Retry:
        return "Retry";
    case TrayState::Timer::Settle:
        return "Settle";
    case TrayState::Timer::Grace:
        return "Grace";
    }
    return "?";
}

QString Described(const TrayState::Action& action) {
    switch (action.kind) {
    case Kind::AskHost:
        return QStringLiteral("AskHost(%1)").arg(action.token);
    case Kind::Export:
        return QStringLiteral("Export");
    case Kind::Register:
        return QStringLiteral("Register(%1)").arg(action.token);
    case Kind::Withdraw:
        return QStringLiteral("Withdraw");
    case Kind::Dock:
        return QStringLiteral("Dock");
    case Kind::Undock:
        return QStringLiteral("Undock");
    case Kind::Arm:
        return QStringLiteral("Arm(%1, %2 ms)")
            .arg(QLatin1String(NameOf(action.timer)))
            .arg(action.ms);
    case Kind::Disarm:
        return QStringLiteral("Disarm(%1)").arg(QLatin1String(NameOf(action.timer)));
    case Kind::IconLost:
        return QStringLiteral("IconLost");
    case Kind::IconStands:
        return QStringLiteral("IconStands");
    }
    return QStringLiteral("?");
}

QString Described(const TrayState::Actions& actions) {
    QStringList parts;
    for (const TrayState::Action& action : actions) {
        parts << Described(action);
    }
    return parts.isEmpty() ? QStringLiteral("nothing") : parts.join(QLatin1String(", "));
}

} // namespace

TrayShell::TrayShell(MainWindow& window, std::function<void()> onHostAppeared,
                     std::function<void()> onHostLost)
    : window_(window), onHostAppeared_(std::move(onHostAppeared)),
      onHostLost_(std::move(onHostLost)) {
    for (std::size_t i = 0; i < timers_.size(); ++i) {
        timers_[i] = new QTimer(this);
        timers_[i]->setSingleShot(true);
        connect(timers_[i], &QTimer::timeout, this, [this, i] {
            const auto timer = static_cast<TrayState::Timer>(i);
            qCDebug(lcTray) << NameOf(timer) << "timer fired";
            apply("timer fired", state_.timerFired(timer));
        });
    }
    x11Tray_ = new X11Tray(
        [this](bool present) { apply("X11 tray owner changed", state_.xembedTray(present)); },
        this);
    if (x11Tray_->available()) {
        apply("X11 tray at start", state_.xembedTray(x11Tray_->present(), true));
    }
    watchTheBus();
}

TrayShell::~TrayShell() = default;

void TrayShell::watchTheBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        apply("no session bus", state_.watcherVanished());
        return;
    }
    // A panel that starts after the program, restarts or quits takes its watcher along; the
    // hosts' own names tell when the last of them went, whatever the watcher says. Matched by
    // namespace: other programs' comings and goings on the bus wake nothing here. Written
    // without the dot before the star: Qt 6.4 makes the namespace of all that precedes the
    // star, and the bus refuses "org.kde." as one.
    auto* names = new QDBusServiceWatcher(QStringLiteral("org.kde*"), bus,
                                          QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(names, &QDBusServiceWatcher::serviceOwnerChanged, this, &TrayShell::nameOwnerChanged);
    const auto onWatcher = [&](const char* signal, const char* slot) {
        bus.connect(kWatcherService, kWatcherPath, kWatcherService, QLatin1String(signal), this,
                    slot);
    };
    onWatcher("StatusNotifierHostRegistered", SLOT(statusNotifierHostRegistered()));
    onWatcher("StatusNotifierHostUnregistered", SLOT(statusNotifierHostUnregistered()));
    onWatcher("StatusNotifierItemRegistered", SLOT(statusNotifierItemRegistered(QString)));
    onWatcher("StatusNotifierItemUnregistered", SLOT(statusNotifierItemUnregistered(QString)));
    bus.connect(kWatcherService, kWatcherPath, kPropertiesInterface,
                QStringLiteral("PropertiesChanged"), this,
                SLOT(watcherPropertiesChanged(QString, QVariantMap, QStringList)));
    askHostNames();
    askWatcherOwner();
}

void TrayShell::askWatcherOwner() {
    QDBusMessage ask = BusCall(QStringLiteral("GetNameOwner"));
    ask << kWatcherService;
    auto* pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(ask), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (watcherHeard_) {
                    return; // a change of owner since is newer than this answer
                }
                watcherHeard_ = true;
                const QDBusPendingReply<QString> owner = *call;
                watcherOwner_ = owner.isError() ? QString() : owner.value();
                apply("watcher owner answered", watcherOwner_.isEmpty() ? state_.watcherVanished()
                                                                        : state_.watcherAppeared());
                tellWhetherWatcherIsKded();
            });
}

void TrayShell::askHostNames() {
    auto* pending = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(BusCall(QStringLiteral("ListNames"))), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QStringList> reply = *call;
                if (reply.isError()) {
                    return;
                }
                for (const QString& name : reply.value()) {
                    if (name.startsWith(kHostPrefix)) {
                        hostNames_.insert(name);
                    } else if (IsKdedName(name)) {
                        askKdedOwner(name);
                    }
                }
                apply("host names listed",
                      state_.hostNamesCounted(static_cast<int>(hostNames_.size())));
            });
}

void TrayShell::askKdedOwner(const QString& name) {
    QDBusMessage ask = BusCall(QStringLiteral("GetNameOwner"));
    ask << name;
    auto* pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(ask), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, name](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QString> owner = *call;
                if (!owner.isError() && !kdedOwners_.contains(name)) {
                    kdedOwners_.insert(name, owner.value());
                    tellWhetherWatcherIsKded();
                }
            });
}

void TrayShell::tellWhetherWatcherIsKded() {
    const bool kded = !watcherOwner_.isEmpty() &&
                      std::any_of(kdedOwners_.cbegin(), kdedOwners_.cend(),
                                  [this](const QString& owner) { return owner == watcherOwner_; });
    apply("watcher's owner is kded's or not", state_.watcherIsKded(kded));
}

void TrayShell::nameOwnerChanged(const QString& name, const QString&, const QString& newOwner) {
    if (name == kWatcherService) {
        watcherHeard_ = true;
        watcherOwner_ = newOwner;
        apply("watcher owner changed",
              newOwner.isEmpty() ? state_.watcherVanished() : state_.watcherAppeared());
        tellWhetherWatcherIsKded();
        return;
    }
    if (IsKdedName(name)) {
        // Newer than any answer on its way: that answer is then ignored.
        kdedOwners_.insert(name, newOwner);
        tellWhetherWatcherIsKded();
        return;
    }
    if (!name.startsWith(kHostPrefix)) {
        return;
    }
    if (newOwner.isEmpty()) {
        hostNames_.remove(name);
    } else {
        hostNames_.insert(name);
    }
    apply("host name owner changed", state_.hostNamesCounted(static_cast<int>(hostNames_.size())));
}

void TrayShell::statusNotifierHostRegistered() {
    apply("StatusNotifierHostRegistered", state_.hostRegistered());
}

void TrayShell::statusNotifierHostUnregistered() {
    apply("StatusNotifierHostUnregistered", state_.hostUnregistered());
}

void TrayShell::watcherPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                         const QStringList&) {
    const auto registered = changed.find(QStringLiteral("IsStatusNotifierHostRegistered"));
    if (interface == kWatcherService && registered != changed.end()) {
        apply("IsStatusNotifierHostRegistered changed",
              state_.hostPropertyChanged(registered->toBool()));
    }
}

bool TrayShell::namesOurItem(const QString& service) const {
    // Watchers name an item by its bus name and object path, joined by "/" (KDE) or "@"
    // (GNOME's AppIndicator extension), some by the bus name alone.
    if (!item_ || item_->serviceName().isEmpty()) {
        return false;
    }
    const QString name = item_->serviceName();
    return service == name || service.startsWith(name + QLatin1Char('/')) ||
           service.startsWith(name + QLatin1Char('@'));
}

void TrayShell::statusNotifierItemRegistered(const QString& service) {
    if (namesOurItem(service)) {
        apply("StatusNotifierItemRegistered", state_.itemRegistered());
    }
}

void TrayShell::statusNotifierItemUnregistered(const QString& service) {
    if (namesOurItem(service)) {
        apply("StatusNotifierItemUnregistered", state_.itemUnregistered());
    }
}

void TrayShell::apply(const char* event, const TrayState::Actions& actions) {
    qCDebug(lcTray) << event << "->" << Described(actions).toUtf8().constData();
    for (const TrayState::Action& action : actions) {
        switch (action.kind) {
        case Kind::AskHost:
            askHost(action.token);
            break;
        case Kind::Export:
            exportItem();
            break;
        case Kind::Register:
            registerItem(action.token);
            break;
        case Kind::Withdraw:
            withdrawItem();
            break;
        case Kind::Dock:
            dock();
            break;
        case Kind::Undock:
            undock();
            break;
        case Kind::Arm:
            arm(action.timer, action.ms);
            break;
        case Kind::Disarm:
            disarm(action.timer);
            break;
        case Kind::IconLost:
            QTimer::singleShot(0, this, [this] { onHostLost_(); });
            break;
        case Kind::IconStands:
            QTimer::singleShot(0, this, [this] { onHostAppeared_(); });
            break;
        }
    }
}

void TrayShell::arm(TrayState::Timer timer, int ms) {
    timers_[static_cast<std::size_t>(timer)]->start(ms);
}

void TrayShell::disarm(TrayState::Timer timer) {
    timers_[static_cast<std::size_t>(timer)]->stop();
}

void TrayShell::askHost(unsigned token) {
    // To the owner known now: a call meant for a watcher that went must not reach the next.
    QDBusMessage get = QDBusMessage::createMethodCall(watcherOwner_, kWatcherPath,
                                                      kPropertiesInterface, QStringLiteral("Get"));
    get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, token](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *call;
                if (reply.isError()) {
                    apply("host question failed", state_.hostQuestionFailed(token));
                } else {
                    apply("host answered",
                          state_.hostAnswered(token, reply.value().variant().toBool()));
                }
            });
}

void TrayShell::exportItem() {
    if (!record_) {
        return;
    }
    const NotifyIconData& data = *record_;
    item_ = std::make_unique<StatusNotifierItem>(
        QString::fromLatin1(kProgramName.data(), static_cast<qsizetype>(kProgramName.size())),
        TipOf(data), (data.uFlags & kNifIcon) ? IconPixmaps() : SniPixmaps(), window_.iconPopup(),
        [this](const QString& method, const QString& activationToken) {
            const auto message = MouseMessageForCall(method, item_ && item_->menuRead());
            qCDebug(lcTray) << "host called" << method
                            << (activationToken.isEmpty() ? "" : "with a token") << "->"
                            << (message ? int(*message) : -1);
            if (!message) {
                return;
            }
            // On Wayland the compositor focuses a window only with the host's token.
            if (!activationToken.isEmpty()) {
                qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
            }
            deliver(*message);
        });
    item_->exportOn(QDBusConnection::sessionBus(),
                    [this](bool ok) { apply("item exported", state_.exported(ok)); });
}

void TrayShell::registerItem(unsigned token) {
    if (!item_) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        watcherOwner_, kWatcherPath, kWatcherService, QStringLiteral("RegisterStatusNotifierItem"));
    // By path: the watcher takes the caller's unique name for the item, the same name a host
    // scanning the bus finds it under.
    call << QString::fromLatin1(StatusNotifierItem::kItemPath);
    auto* pending =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, token](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                apply("registration answered",
                      state_.registrationAnswered(token, !call->isError()));
            });
}

void TrayShell::withdrawItem() {
    if (item_) {
        item_->withdraw();
        // Its calls are queued to itself: deleted later, none of them outlives it.
        item_.release()->deleteLater();
    }
}

void TrayShell::dock() {
    if (!record_ || !x11Tray_) {
        return;
    }
    const NotifyIconData& data = *record_;
    auto* icon = new XEmbedIcon(TipOf(data), data.uFlags & kNifIcon, x11Tray_->offersArgb(),
                                [this](std::uint32_t message) { deliver(message); });
    xembedIcon_ = icon;
    // Created but not shown: shown once the tray has taken it in, as GTK's tray wants.
    // The tray reads the size in screen pixels.
    x11Tray_->dock(static_cast<std::uint32_t>(icon->winId()),
                   qRound(icon->minimumWidth() * icon->devicePixelRatioF()),
                   [icon = QPointer<XEmbedIcon>(icon)] {
                       if (icon) {
                           icon->show();
                       }
                   });
}

void TrayShell::undock() {
    if (xembedIcon_) {
        xembedIcon_->hide();
        // The undock may come from a handler of this icon's own click (Exit in its menu).
        xembedIcon_->deleteLater();
        xembedIcon_.clear();
    }
}

bool TrayShell::NotifyIcon(NotifyMessage message, NarrowIconData& record) {
    const NotifyIconData data = FromNarrow(record);
    if (data.hWnd != window_.Handle()) {
        return false;
    }
    if (message == NotifyMessage::Delete) {
        const bool stood = record_.has_value();
        deleted_ = true;
        apply("icon deleted", state_.iconDeleted());
        record_.reset();
        return stood;
    }
    if (deleted_) {
        return false;
    }
    record_ = data;
    apply("icon added", state_.iconAdded());
    return true;
}

bool TrayShell::IconShown() const {
    return state_.iconShown();
}

void TrayShell::deliver(std::uint32_t mouseMessage) {
    qCDebug(lcTray) << "mouse message" << mouseMessage
                    << (record_ ? "to the window" : "with no icon");
    if (record_ && (record_->uFlags & kNifMessage)) {
        window_.deliverIconNotification(record_->uCallbackMessage, record_->uID, mouseMessage);
    }
}

} // namespace zelvo::qt
