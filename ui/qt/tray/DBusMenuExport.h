// A QMenu's items exported as a com.canonical.dbusmenu object, so that a StatusNotifierItem
// host draws the menu itself; a host's "clicked" triggers the item's action, queued.
#pragma once

#include <QDBusVirtualObject>
#include <QPointer>

class QAction;
class QMenu;

namespace zelvo::qt {

struct DBusInterfaceTable;

class DBusMenuExport : public QDBusVirtualObject {
    Q_OBJECT

public:
    explicit DBusMenuExport(QMenu* menu, QObject* parent = nullptr);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

    // Whether a host has read the menu: such a host draws it itself.
    bool read() const { return read_; }
    // The interface as introspection and dispatch read it, and its properties' values.
    static const DBusInterfaceTable kTable;
    static QVariantMap properties();

private:
    // Item 0 is the menu itself; its actions are 1, 2, ... in their order.
    QAction* action(int id) const;
    QVariantMap itemProperties(int id) const;
    void trigger(int id);

    QPointer<QMenu> menu_;
    bool read_ = false;
};

} // namespace zelvo::qt
