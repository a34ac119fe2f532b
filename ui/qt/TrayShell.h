// The notification area on Linux: the shell's add and delete of an icon record, carried
// out with QSystemTrayIcon; the icon's clicks go back to the window as mouse messages.
#pragma once

#include "ui/NotifyIcon.h"

#include <QSystemTrayIcon>

#include <memory>

namespace zelvo::qt {

class MainWindow;

class TrayShell : public ShellPort {
public:
    explicit TrayShell(MainWindow& window);
    ~TrayShell() override;

    bool NotifyIcon(NotifyMessage message, NarrowIconData& record) override;

    // The mouse message that Windows would report for a click Qt reports as `reason`.
    static std::uint32_t MouseMessageFor(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon* icon() const { return icon_.get(); }

private:
    MainWindow& window_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

} // namespace zelvo::qt
