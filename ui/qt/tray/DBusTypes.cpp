#include "ui/qt/tray/DBusTypes.h"

#include <QDBusMetaType>

namespace zelvo::qt {

void RegisterDBusTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<SniPixmap>();
        qDBusRegisterMetaType<SniPixmaps>();
        qDBusRegisterMetaType<SniToolTip>();
        qDBusRegisterMetaType<MenuLayoutItem>();
        qDBusRegisterMetaType<MenuItemProperties>();
        qDBusRegisterMetaType<MenuItemPropertiesList>();
        return true;
    }();
    (void)registered;
}

void ReplyError(const QDBusConnection& bus, const QDBusMessage& call, const QString& name,
                const QString& text) {
    if (!call.isReplyRequired()) {
        return;
    }
    bus.send(call.createErrorReply(name, text));
}

void Reply(const QDBusConnection& bus, const QDBusMessage& call, const QVariantList& values) {
    if (!call.isReplyRequired()) {
        return;
    }
    bus.send(call.createReply(values));
}

bool AnswerProperties(const QDBusConnection& bus, const QDBusMessage& call,
                      const QString& interface, const QVariantMap& properties) {
    if (call.interface() != QLatin1String("org.freedesktop.DBus.Properties")) {
        return false;
    }
    const QString member = call.member();
    const QVariantList args = call.arguments();
    const QString invalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
    if (member == QLatin1String("GetAll") && call.signature() == QLatin1String("s")) {
        Reply(bus, call,
              {args[0].toString() == interface ? QVariant(properties) : QVariant(QVariantMap())});
    } else if (member == QLatin1String("Get") && call.signature() == QLatin1String("ss")) {
        const auto found = properties.find(args[1].toString());
        if (args[0].toString() != interface || found == properties.end()) {
            ReplyError(bus, call, invalidArgs, QStringLiteral("No such property"));
        } else {
            Reply(bus, call, {QVariant::fromValue(QDBusVariant(found.value()))});
        }
    } else if (member == QLatin1String("Set")) {
        ReplyError(bus, call, QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly"),
                   QStringLiteral("Every property is read-only"));
    } else {
        ReplyError(bus, call, invalidArgs, QStringLiteral("Unknown call or wrong arguments"));
    }
    return true;
}

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& pixmap) {
    arg.beginStructure();
    arg << pixmap.width << pixmap.height << pixmap.argb;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& pixmap) {
    arg.beginStructure();
    arg >> pixmap.width >> pixmap.height >> pixmap.argb;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const SniToolTip& tip) {
    arg.beginStructure();
    arg << tip.iconName << tip.pixmaps << tip.title << tip.text;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, SniToolTip& tip) {
    arg.beginStructure();
    arg >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const MenuLayoutItem& item) {
    arg.beginStructure();
    arg << item.id << item.properties;
    arg.beginArray(qMetaTypeId<QDBusVariant>());
    for (const MenuLayoutItem& child : item.children) {
        arg << QDBusVariant(QVariant::fromValue(child));
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, MenuLayoutItem& item) {
    arg.beginStructure();
    arg >> item.id >> item.properties;
    item.children.clear();
    arg.beginArray();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        item.children.push_back(qdbus_cast<MenuLayoutItem>(child.variant()));
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const MenuItemProperties& item) {
    arg.beginStructure();
    arg << item.id << item.properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, MenuItemProperties& item) {
    arg.beginStructure();
    arg >> item.id >> item.properties;
    arg.endStructure();
    return arg;
}

const DBusMember* DispatchHead(const DBusInterfaceTable& table, const QVariantMap& properties,
                               const QDBusConnection& bus, const QDBusMessage& call,
                               bool& handled) {
    const QString interface = QLatin1String(table.name);
    handled = true;
    if (AnswerProperties(bus, call, interface, properties)) {
        return nullptr;
    }
    if (call.interface() != interface && !call.interface().isEmpty()) {
        handled = false;
        return nullptr;
    }
    const DBusMember* method = FindMethod(table, call);
    if (!method) {
        ReplyError(bus, call, QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                   QStringLiteral("No such method, or not with these arguments"));
    }
    return method;
}

} // namespace zelvo::qt
