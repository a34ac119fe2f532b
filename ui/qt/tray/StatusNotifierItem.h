// The icon as a StatusNotifierItem on the session bus: its image, title and tooltip for the
// host to draw, the menu exported beside it, and the host's calls handed on, queued.
#pragma once

#include "ui/qt/tray/DBusTypes.h"

#include <QDBusVirtualObject>

#include <functional>
#include <optional>

class QMenu;

namespace zelvo::qt {

class DBusMenuExport;
struct DBusInterfaceTable;

class StatusNotifierItem : public QDBusVirtualObject {
    Q_OBJECT

public:
    static constexpr const char* kItemPath = "/StatusNotifierItem";
    static constexpr const char* kMenuPath = "/MenuBar";

    // `onCall` runs on the GUI thread, after the call has been answered, with the method's
    // name and the activation token that the host provided before it, if any.
    StatusNotifierItem(const QString& title, const QString& toolTip, const SniPixmaps& pixmaps,
                       QMenu* menu, std::function<void(const QString&, const QString&)> onCall);
    ~StatusNotifierItem() override;

    // Puts the item and its menu on `bus` under the connection's own unique name, with no
    // well-known name of their own: a host that finds the object by scanning the bus and one
    // that is told its path both know it by that one name and path, so neither lists it twice.
    // `done` runs afterwards, queued (false if the paths were taken).
    void exportOn(QDBusConnection bus, std::function<void(bool)> done);
    // Takes them off the bus again.
    void withdraw();
    // The unique name the item stands under, empty while withdrawn.
    QString serviceName() const { return serviceName_; }

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

    // The interface as introspection and dispatch read it, and its properties' values.
    static const DBusInterfaceTable kTable;
    QVariantMap properties() const;
    // Whether a host has read the exported menu: such a host draws it itself.
    bool menuRead() const;

private:
    QString title_;
    QString toolTip_;
    SniPixmaps pixmaps_;
    QString iconName_;
    DBusMenuExport* menu_;
    std::function<void(const QString&, const QString&)> onCall_;
    QString activationToken_;
    QString serviceName_;
    std::optional<QDBusConnection> bus_;
};

// The icon's images at every size from 16 to 64 pixels, as a host receives them.
SniPixmaps IconPixmaps();

} // namespace zelvo::qt
