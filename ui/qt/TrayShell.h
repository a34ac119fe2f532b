// The notification area on Linux: the shell's add and delete of an icon record, carried
// out with QSystemTrayIcon on whichever protocol the desktop's tray host speaks, and the
// word when a host appears or comes back, so that the icon can be added again.
#pragma once

#include "ui/NotifyIcon.h"
#include "ui/qt/TrayProtocol.h"

#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace zelvo::qt {

class MainWindow;

class TrayShell : public QObject, public ShellPort {
    Q_OBJECT

public:
    // `onHostAppeared` runs on the GUI thread when a tray host starts or restarts.
    TrayShell(MainWindow& window, std::function<void()> onHostAppeared);
    ~TrayShell() override;

    bool NotifyIcon(NotifyMessage message, NarrowIconData& record) override;

    QSystemTrayIcon* icon() const { return icon_.get(); }
    // The protocol of the icon: fixed by Qt when it first looks for a tray, for the run.
    std::optional<TrayProtocol> protocol() const { return protocol_; }

private slots:
    void statusNotifierHostRegistered();

private:
    bool trayAvailable();
    void addIcon(const NotifyIconData& data);
    void removeIcon();
    void watchForHosts();

    MainWindow& window_;
    std::function<void()> onHostAppeared_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::optional<TrayProtocol> protocol_;
    QTimer* xembedPoll_ = nullptr;
    bool deleted_ = false;
};

} // namespace zelvo::qt
