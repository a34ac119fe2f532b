// The notification area on Linux: the shell's add and delete of an icon record, carried out
// on whichever tray the desktop has at the moment. A thin layer: the session bus and the X
// server's events go into TrayState, and its actions come out as D-Bus calls, a docked
// window, timers and word to the window. No call here ever waits for an answer.
#pragma once

#include "ui/NotifyIcon.h"
#include "ui/qt/tray/rules/TrayState.h"

#include <QObject>
#include <QPointer>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace zelvo::qt {

class MainWindow;
class StatusNotifierItem;
class X11Tray;
class XEmbedIcon;

class TrayShell : public QObject, public ShellPort {
    Q_OBJECT

public:
    // On the GUI thread, queued: `onHostAppeared` when an icon stands again after it was lost
    // (the record is to be added again); `onHostLost` when no icon has been shown for a moment.
    TrayShell(MainWindow& window, std::function<void()> onHostAppeared,
              std::function<void()> onHostLost);
    ~TrayShell() override;

    bool NotifyIcon(NotifyMessage message, NarrowIconData& record) override;
    bool IconShown() const override;

    // Where the icon stands now, if anywhere.
    std::optional<TrayProtocol> protocol() const { return state_.placed(); }

private slots:
    void statusNotifierHostRegistered();
    void statusNotifierHostUnregistered();
    void statusNotifierItemRegistered(const QString& service);
    void statusNotifierItemUnregistered(const QString& service);
    void watcherPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                  const QStringList& invalidated);

private:
    void nameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void watchTheBus();
    void askWatcherOwner();
    void askHostNames();
    void askKdedOwner(const QString& name);
    void tellWhetherWatcherIsKded();
    bool namesOurItem(const QString& service) const;
    // Carries out the actions that `event` led to.
    void apply(const char* event, const TrayState::Actions& actions);
    void askHost(unsigned token);
    void exportItem();
    void registerItem(unsigned token);
    void withdrawItem();
    void dock();
    void undock();
    void arm(TrayState::Timer timer, int ms);
    void disarm(TrayState::Timer timer);
    void deliver(std::uint32_t mouseMessage);

    MainWindow& window_;
    std::function<void()> onHostAppeared_;
    std::function<void()> onHostLost_;
    TrayState state_;
    bool watcherHeard_ = false; // a change of owner came before the first answer about it
    QString watcherOwner_;      // the watcher's unique name, where the calls go
    QSet<QString> hostNames_;
    QHash<QString, QString> kdedOwners_;   // org.kde.kded5 or 6, and the unique name owning it
    std::optional<NotifyIconData> record_; // added and not deleted
    bool deleted_ = false;
    X11Tray* x11Tray_ = nullptr;
    QPointer<XEmbedIcon> xembedIcon_;
    std::unique_ptr<StatusNotifierItem> item_;
    std::array<QTimer*, 5> timers_{};
};

} // namespace zelvo::qt
