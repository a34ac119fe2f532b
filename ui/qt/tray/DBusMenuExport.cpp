#include "ui/qt/tray/DBusMenuExport.h"

#include "ui/qt/tray/DBusInterface.h"
#include "ui/qt/tray/DBusTypes.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace zelvo::qt {
namespace {

const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
constexpr unsigned kRevision = 1; // the menu never changes

constexpr DBusMember kMethods[] = {
    {"GetLayout", "iias", "u(ia{sv}av)"}, {"GetGroupProperties", "aias", "a(ia{sv})"},
    {"GetProperty", "is", "v"},           {"Event", "isvu", ""},
    {"EventGroup", "a(isvu)", "ai"},      {"AboutToShow", "i", "b"},
    {"AboutToShowGroup", "ai", "aiai"},
};
constexpr DBusMember kProperties[] = {
    {"Version", "u", ""},
    {"TextDirection", "s", ""},
    {"Status", "s", ""},
    {"IconThemePath", "as", ""},
};
constexpr DBusMember kSignals[] = {
    {"ItemsPropertiesUpdated", "a(ia{sv})a(ias)", ""},
    {"LayoutUpdated", "ui", ""},
    {"ItemActivationRequested", "iu", ""},
};

// "E&xit" becomes "E_xit": dbusmenu marks the access key with "_" and doubles a real one.
QString Label(QString text) {
    text.replace(QLatin1Char('_'), QLatin1String("__"));
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.replace(QLatin1Char('&'), QLatin1Char('_'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

} // namespace

const DBusInterfaceTable DBusMenuExport::kTable{"com.canonical.dbusmenu", kMethods, kProperties,
                                                kSignals};

DBusMenuExport::DBusMenuExport(QMenu* menu, QObject* parent)
    : QDBusVirtualObject(parent), menu_(menu) {
    RegisterDBusTypes();
}

QAction* DBusMenuExport::action(int id) const {
    if (!menu_ || id < 1 || id > menu_->actions().size()) {
        return nullptr;
    }
    return menu_->actions().at(id - 1);
}

QVariantMap DBusMenuExport::itemProperties(int id) const {
    if (id == 0) {
        return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
    }
    const QAction* item = action(id);
    return {{QStringLiteral("label"), Label(item->text())},
            {QStringLiteral("enabled"), item->isEnabled()},
            {QStringLiteral("visible"), item->isVisible()}};
}

void DBusMenuExport::trigger(int id) {
    // Queued: the action may end the program, which must not happen inside a D-Bus handler.
    QTimer::singleShot(0, this, [this, id] {
        if (QAction* item = action(id)) {
            item->trigger();
        }
    });
}

QString DBusMenuExport::introspect(const QString& /*path*/) const {
    return IntrospectionXml(kTable);
}

QVariantMap DBusMenuExport::properties() {
    return {{QStringLiteral("Version"), 3u},
            {QStringLiteral("TextDirection"), QStringLiteral("ltr")},
            {QStringLiteral("Status"), QStringLiteral("normal")},
            {QStringLiteral("IconThemePath"), QStringList()}};
}

bool DBusMenuExport::handleMessage(const QDBusMessage& message, const QDBusConnection& bus) {
    bool handled = true;
    const DBusMember* method = DispatchHead(kTable, properties(), bus, message, handled);
    if (!method) {
        return handled;
    }
    read_ = true;
    const QString member = QLatin1String(method->name);
    const QVariantList args = message.arguments();
    const auto known = [this](int id) { return id == 0 || action(id) != nullptr; };
    const auto unknownId = [&] {
        ReplyError(bus, message, kInvalidArgs, QStringLiteral("No menu item with that id"));
        return true;
    };

    if (member == QLatin1String("GetLayout")) {
        const int parent = args[0].toInt();
        if (!known(parent)) {
            return unknownId();
        }
        MenuLayoutItem layout{parent, itemProperties(parent), {}};
        // Depth 0 asks for the item alone; any other depth takes the one level there is.
        if (parent == 0 && args[1].toInt() != 0) {
            for (int id = 1; action(id); ++id) {
                layout.children.push_back({id, itemProperties(id), {}});
            }
        }
        Reply(bus, message, {QVariant::fromValue(kRevision), QVariant::fromValue(layout)});
    } else if (member == QLatin1String("GetGroupProperties")) {
        MenuItemPropertiesList items;
        QList<int> ids = qdbus_cast<QList<int>>(args[0]);
        if (ids.isEmpty()) { // no ids asks for every item
            const int count = menu_ ? static_cast<int>(menu_->actions().size()) : 0;
            for (int id = 0; id <= count; ++id) {
                ids.push_back(id);
            }
        }
        for (int id : ids) {
            if (known(id)) {
                items.push_back({id, itemProperties(id)});
            }
        }
        Reply(bus, message, {QVariant::fromValue(items)});
    } else if (member == QLatin1String("GetProperty")) {
        if (!known(args[0].toInt())) {
            return unknownId();
        }
        const QVariantMap properties = itemProperties(args[0].toInt());
        const auto found = properties.find(args[1].toString());
        if (found == properties.end()) {
            ReplyError(bus, message, kInvalidArgs, QStringLiteral("No such property"));
        } else {
            Reply(bus, message, {QVariant::fromValue(QDBusVariant(found.value()))});
        }
    } else if (member == QLatin1String("Event")) {
        const int id = args[0].toInt();
        if (!known(id)) {
            return unknownId();
        }
        if (id != 0 && args[1].toString() == QLatin1String("clicked")) {
            trigger(id);
        }
        Reply(bus, message);
    } else if (member == QLatin1String("EventGroup")) {
        QList<int> errors;
        const QDBusArgument events = args[0].value<QDBusArgument>();
        events.beginArray();
        while (!events.atEnd()) {
            int id = 0;
            QString eventId;
            QDBusVariant data;
            unsigned timestamp = 0;
            events.beginStructure();
            events >> id >> eventId >> data >> timestamp;
            events.endStructure();
            if (!known(id)) {
                errors.push_back(id);
            } else if (id != 0 && eventId == QLatin1String("clicked")) {
                trigger(id);
            }
        }
        events.endArray();
        Reply(bus, message, {QVariant::fromValue(errors)});
    } else if (member == QLatin1String("AboutToShow")) {
        if (!known(args[0].toInt())) {
            return unknownId();
        }
        Reply(bus, message, {false});
    } else if (member == QLatin1String("AboutToShowGroup")) {
        QList<int> errors;
        for (int id : qdbus_cast<QList<int>>(args[0])) {
            if (!known(id)) {
                errors.push_back(id);
            }
        }
        Reply(bus, message, {QVariant::fromValue(QList<int>()), QVariant::fromValue(errors)});
    }
    return true;
}

} // namespace zelvo::qt
