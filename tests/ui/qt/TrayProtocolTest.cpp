#include "ui/Main.h"
#include "ui/qt/tray/TrayProtocol.h"

#include <gtest/gtest.h>

using zelvo::Main;

TEST(TrayProtocol, EachHostsClicksBecomeTheMessagesTheHandlersKnow) {
    using zelvo::qt::MouseMessageFor;
    using zelvo::qt::MouseMessageForCall;
    // An XEmbed tray: the double-click shows, a single click is only a button press.
    EXPECT_EQ(MouseMessageFor(Qt::LeftButton, true), Main::kLeftDoubleClick);
    EXPECT_EQ(MouseMessageFor(Qt::LeftButton, false), Main::kLeftButtonDown);
    EXPECT_EQ(MouseMessageFor(Qt::RightButton, false), Main::kRightButtonDown);
    // A StatusNotifierItem host activates with one click: that is the way back. A host that
    // read the exported menu draws it itself, so its ContextMenu call opens nothing of ours;
    // one that never read it gets Zelvo's menu.
    EXPECT_EQ(MouseMessageForCall(QStringLiteral("Activate"), true), Main::kLeftDoubleClick);
    EXPECT_EQ(MouseMessageForCall(QStringLiteral("ContextMenu"), true), std::nullopt);
    EXPECT_EQ(MouseMessageForCall(QStringLiteral("ContextMenu"), false), Main::kRightButtonDown);
    EXPECT_EQ(MouseMessageForCall(QStringLiteral("Scroll"), false), std::nullopt);
}
