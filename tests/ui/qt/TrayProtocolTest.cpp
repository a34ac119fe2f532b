#include "ui/Main.h"
#include "ui/qt/TrayProtocol.h"

#include <gtest/gtest.h>

using zelvo::Main;
using zelvo::qt::MouseMessageFor;
using zelvo::qt::TrayProtocol;

TEST(TrayProtocol, EachHostsClicksBecomeTheMessagesTheHandlersKnow) {
    constexpr auto xembed = TrayProtocol::XEmbed;
    constexpr auto sni = TrayProtocol::StatusNotifierItem;
    // An XEmbed tray: the double-click shows, a single click is only a button press.
    EXPECT_EQ(MouseMessageFor(xembed, QSystemTrayIcon::DoubleClick), Main::kLeftDoubleClick);
    EXPECT_EQ(MouseMessageFor(xembed, QSystemTrayIcon::Trigger), Main::kLeftButtonDown);
    EXPECT_EQ(MouseMessageFor(xembed, QSystemTrayIcon::Context), Main::kRightButtonDown);
    // A StatusNotifierItem host activates with one click: that is the way back.
    EXPECT_EQ(MouseMessageFor(sni, QSystemTrayIcon::Trigger), Main::kLeftDoubleClick);
    EXPECT_EQ(MouseMessageFor(sni, QSystemTrayIcon::Context), Main::kRightButtonDown);
    EXPECT_EQ(MouseMessageFor(sni, QSystemTrayIcon::MiddleClick), Main::kMiddleButtonDown);
    EXPECT_TRUE(zelvo::qt::HostDrawsMenu(sni));
    EXPECT_FALSE(zelvo::qt::HostDrawsMenu(xembed));
}
