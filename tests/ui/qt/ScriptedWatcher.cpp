// Test helper: a StatusNotifierWatcher on the session bus that says a host is registered and
// answers item registrations as told: accept, refuse (as GNOME's extension does when its
// proxy fails), answer after 5 s, never answer anything at all, or signal the item registered
// and dropped before a yes that comes late ("drop"). The test makes its host leave by calling
// LoseHost("signal"), after which it answers nothing, or LoseHost("property") (Cinnamon's
// xapp-sn-watcher), on interface org.zelvo.Test. As "kded" it accepts, and owns kded's name
// too, as KDE's does, while no host of Plasma's owns a name.
// Usage: scripted-watcher accept|refuse|late|hang|drop|kded
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QTimer>

#include <cstdio>

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

class Watcher : public QDBusVirtualObject {
public:
    explicit Watcher(QString mode) : mode_(std::move(mode)) {}

    QString introspect(const QString&) const override { return {}; }
    bool kded() const { return mode_ == QLatin1String("kded"); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        const QString member = message.member();
        if (message.interface() == QLatin1String("org.zelvo.Test")) {
            loseHost(message.arguments().value(0).toString(), bus);
            bus.send(message.createReply());
            return true;
        }
        if (mode_ == QLatin1String("hang")) {
            message.setDelayedReply(true); // and never answered
            return true;
        }
        if (member == QLatin1String("Get")) {
            const QString property = message.arguments().value(1).toString();
            QVariant value;
            if (property == QLatin1String("IsStatusNotifierHostRegistered")) {
                value = hostRegistered_;
            } else if (property == QLatin1String("RegisteredStatusNotifierItems")) {
                value = items_;
            } else {
                value = 0;
            }
            bus.send(message.createReply(QVariant::fromValue(QDBusVariant(value))));
        } else if (member == QLatin1String("RegisterStatusNotifierItem")) {
            // As real watchers do, an item given by path is the caller's unique name and path.
            QString service = message.arguments().value(0).toString();
            if (service.startsWith(QLatin1Char('/'))) {
                service.prepend(message.service());
            }
            if (mode_ == QLatin1String("refuse")) {
                bus.send(
                    message.createErrorReply(QStringLiteral("org.gnome.gjs.JSError.ValueError"),
                                             QStringLiteral("refused by the test")));
            } else if (mode_ == QLatin1String("drop")) {
                itemSignal("StatusNotifierItemRegistered", service, bus);
                itemSignal("StatusNotifierItemUnregistered", service, bus);
                message.setDelayedReply(true);
                QTimer::singleShot(300, [message, bus] { bus.send(message.createReply()); });
            } else if (mode_ == QLatin1String("late")) {
                message.setDelayedReply(true);
                QTimer::singleShot(
                    5000, [this, message, bus, service] { accept(message, bus, service); });
            } else {
                accept(message, bus, service);
            }
        } else {
            bus.send(message.createReply());
        }
        std::printf("%s %s\n", qPrintable(member),
                    qPrintable(message.arguments().value(0).toString()));
        std::fflush(stdout);
        return true;
    }

private:
    void accept(const QDBusMessage& message, QDBusConnection bus, const QString& service) {
        items_ << service;
        bus.send(message.createReply());
        itemSignal("StatusNotifierItemRegistered", service, bus);
    }

    static void itemSignal(const char* name, const QString& service, QDBusConnection bus) {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/StatusNotifierWatcher"),
                                                         kWatcher, QLatin1String(name));
        signal << service;
        bus.send(signal);
    }

    void loseHost(const QString& how, QDBusConnection bus) {
        hostRegistered_ = false;
        if (how == QLatin1String("property")) {
            QDBusMessage signal =
                QDBusMessage::createSignal(QStringLiteral("/StatusNotifierWatcher"),
                                           QStringLiteral("org.freedesktop.DBus.Properties"),
                                           QStringLiteral("PropertiesChanged"));
            signal << kWatcher
                   << QVariantMap{{QStringLiteral("IsStatusNotifierHostRegistered"), false}}
                   << QStringList();
            bus.send(signal);
        } else {
            mode_ = QStringLiteral("hang");
            bus.send(QDBusMessage::createSignal(QStringLiteral("/StatusNotifierWatcher"), kWatcher,
                                                QStringLiteral("StatusNotifierHostUnregistered")));
        }
    }

    QString mode_;
    QStringList items_;
    bool hostRegistered_ = true;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    Watcher watcher(QString::fromLatin1(argv[1]));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &watcher) ||
        !bus.registerService(kWatcher)) {
        return 1;
    }
    if (watcher.kded() && !bus.registerService(QStringLiteral("org.kde.kded5"))) {
        return 1;
    }
    return app.exec();
}
