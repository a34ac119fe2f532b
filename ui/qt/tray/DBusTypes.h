// The structured types of the StatusNotifierItem and com.canonical.dbusmenu interfaces, as
// QtDBus marshals them, and the small helpers that both exported objects use to answer.
#pragma once

#include "ui/qt/tray/DBusInterface.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace zelvo::qt {

// One image of an icon: width, height and ARGB32 pixels, most significant byte first.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using SniPixmaps = QList<SniPixmap>;

// (icon name, images, title, text)
struct SniToolTip {
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};

// A menu item with its properties and children (ia{sv}av); the children travel as variants.
struct MenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<MenuLayoutItem> children;
};

// (ia{sv}): an item's id and properties, as GetGroupProperties returns them.
struct MenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using MenuItemPropertiesList = QList<MenuItemProperties>;

// Makes the types known to QtDBus; safe to call more than once.
void RegisterDBusTypes();

// Sends an error reply unless the caller asked for none.
void ReplyError(const QDBusConnection& bus, const QDBusMessage& call, const QString& name,
                const QString& text);
void Reply(const QDBusConnection& bus, const QDBusMessage& call, const QVariantList& values = {});

// Answers org.freedesktop.DBus.Properties calls for one interface from `properties`; every
// property is read-only. True when `call` was such a call, answered.
bool AnswerProperties(const QDBusConnection& bus, const QDBusMessage& call,
                      const QString& interface, const QVariantMap& properties);

// What an exported object's handleMessage does first: a Properties call answered from
// `properties`, a call of no method of the table answered with an error. Returns the method
// to carry out; or nullptr, with `handled` false for a call to another interface.
const DBusMember* DispatchHead(const DBusInterfaceTable& table, const QVariantMap& properties,
                               const QDBusConnection& bus, const QDBusMessage& call, bool& handled);

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& arg, const SniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& arg, SniToolTip& tip);
QDBusArgument& operator<<(QDBusArgument& arg, const MenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& arg, MenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& arg, const MenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& arg, MenuItemProperties& item);

} // namespace zelvo::qt

Q_DECLARE_METATYPE(zelvo::qt::SniPixmap)
Q_DECLARE_METATYPE(zelvo::qt::SniToolTip)
Q_DECLARE_METATYPE(zelvo::qt::MenuLayoutItem)
Q_DECLARE_METATYPE(zelvo::qt::MenuItemProperties)
