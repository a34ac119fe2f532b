#include "ui/Main.h"
#include "ui/qt/TrayHost.h"
#include "ui/qt/TrayProtocol.h"

#include <gtest/gtest.h>

using zelvo::Main;
using zelvo::qt::TrayHost;
using zelvo::qt::TrayProtocol;
using Change = TrayHost::Change;

TEST(TrayProtocol, EachHostsClicksBecomeTheMessagesTheHandlersKnow) {
    using zelvo::qt::MouseMessageFor;
    using zelvo::qt::MouseMessageForCall;
    // An XEmbed tray: the double-click shows, a single click is only a button press.
    EXPECT_EQ(MouseMessageFor(QSystemTrayIcon::DoubleClick), Main::kLeftDoubleClick);
    EXPECT_EQ(MouseMessageFor(QSystemTrayIcon::Trigger), Main::kLeftButtonDown);
    EXPECT_EQ(MouseMessageFor(QSystemTrayIcon::Context), Main::kRightButtonDown);
    // A StatusNotifierItem host activates with one click: that is the way back. It draws the
    // exported menu itself, so its ContextMenu call opens nothing of ours.
    EXPECT_EQ(MouseMessageForCall(QStringLiteral("Activate")), Main::kLeftDoubleClick);
    EXPECT_EQ(MouseMessageForCall(QStringLiteral("ContextMenu")), std::nullopt);
    EXPECT_EQ(MouseMessageForCall(QStringLiteral("Scroll")), std::nullopt);
}

// Hosts come late, restart and vanish, in any order: the icon moves once per change, to a
// StatusNotifierItem host whenever there is one, and is reported lost only when none is left.
TEST(TrayHost, FollowsHostsInAnyOrder) {
    TrayHost host;
    EXPECT_EQ(host.protocol(), std::nullopt);
    EXPECT_EQ(host.setXEmbedTray(true), Change::Appeared);
    EXPECT_EQ(host.protocol(), TrayProtocol::XEmbed);
    EXPECT_EQ(host.setXEmbedTray(true), Change::None);
    EXPECT_EQ(host.setStatusNotifierHost(true), Change::Moved); // a late host takes over
    EXPECT_EQ(host.protocol(), TrayProtocol::StatusNotifierItem);
    EXPECT_EQ(host.setStatusNotifierHost(true), Change::None); // its name and its signal
    EXPECT_EQ(host.setXEmbedTray(false), Change::None);        // the X11 tray is not ours now
    EXPECT_EQ(host.setStatusNotifierHost(false), Change::Lost);
    EXPECT_EQ(host.setStatusNotifierHost(true), Change::Appeared); // restarted
    EXPECT_EQ(host.setXEmbedTray(true), Change::None);
    EXPECT_EQ(host.setStatusNotifierHost(false), Change::Moved); // back to the X11 tray
    EXPECT_EQ(host.setXEmbedTray(false), Change::Lost);
}
