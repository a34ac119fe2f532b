// The notification area on Linux: the shell's add and delete of an icon record, carried out
// on whichever tray the desktop has at the moment. A StatusNotifierItem of our own whenever a
// host of them is on the session bus, QSystemTrayIcon on an X11 tray (XEmbed) while none is;
// the icon follows the hosts as they come, go and restart, and tells when it has none left.
#pragma once

#include "ui/NotifyIcon.h"
#include "ui/qt/TrayHost.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QSystemTrayIcon;
class QTimer;

namespace zelvo::qt {

class MainWindow;
class StatusNotifierItem;

class TrayShell : public QObject, public ShellPort {
    Q_OBJECT

public:
    // On the GUI thread: `onHostAppeared` when a tray appears, comes back or another kind
    // takes over (the icon is to be added again); `onHostLost` when the icon's tray went and
    // no other is there.
    TrayShell(MainWindow& window, std::function<void()> onHostAppeared,
              std::function<void()> onHostLost);
    ~TrayShell() override;

    bool NotifyIcon(NotifyMessage message, NarrowIconData& record) override;
    bool IconShown() const override;

    // Where the icon stands now, if anywhere.
    std::optional<TrayProtocol> protocol() const { return placed_; }

private slots:
    void statusNotifierHostRegistered();
    void statusNotifierHostUnregistered();
    void statusNotifierItemUnregistered(const QString& service);

private:
    void watchForHosts();
    void watcherOwnerChanged(const QString& owner);
    void askWhetherHostRegistered();
    void statusNotifierHostIs(bool registered);
    void pollXEmbedTray();
    void follow(TrayHost::Change change);
    bool placeIcon();
    void removeIcon();
    void addXEmbedIcon(const NotifyIconData& data);
    void addStatusNotifierItem(const NotifyIconData& data);
    void registerItem();
    void deliver(std::uint32_t mouseMessage);

    MainWindow& window_;
    std::function<void()> onHostAppeared_;
    std::function<void()> onHostLost_;
    TrayHost host_;
    bool hostKnown_ = false;               // the first answer about a StatusNotifierItem host came
    unsigned hostQuestion_ = 0;            // only the answer to the latest question counts
    int xembedSeen_ = 0;                   // polls in a row that found an X11 tray
    std::optional<NotifyIconData> record_; // added and not deleted
    bool deleted_ = false;
    std::optional<TrayProtocol> placed_;
    std::unique_ptr<QSystemTrayIcon> xembedIcon_;
    std::unique_ptr<StatusNotifierItem> item_;
    // The item's registration with the current watcher: asked once, whatever prompts it again
    // while the answer is on its way (a second call makes some hosts rebuild the icon).
    enum class Registration { None, Asked, Done };
    Registration registration_ = Registration::None;
    unsigned watcherGeneration_ = 0; // a new watcher knows nothing of earlier registrations
    QTimer* xembedPoll_ = nullptr;
};

} // namespace zelvo::qt
