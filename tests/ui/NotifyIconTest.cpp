#include "Version.h"
#include "tests/support/FakeWindow.h"
#include "ui/Main.h"

#include <gtest/gtest.h>

#include <limits>

using namespace std::string_literals;

using zelvo::Main;
using zelvo::NarrowIconData;
using zelvo::NotifyMessage;
using zelvo::test::FakeShell;
using zelvo::test::FakeWindow;
using Log = std::vector<std::string>;

namespace {

class NotifyIcon : public ::testing::Test {
protected:
    FakeWindow window;
    FakeShell shell;
    Main main{window, shell};

    // Sends the icon's notification `message` as the shell does, at the current factor.
    void Notify(double message) {
        main.Form_MouseMove(0, 0, static_cast<float>(message * window.twipsPerPixel), 0);
    }
};

} // namespace

TEST_F(NotifyIcon, LoadAddsOneIconWithTheNarrowRecord) {
    main.Form_Load();
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].message, NotifyMessage::Add);
    const NarrowIconData& r = shell.calls[0].record;
    const std::uint8_t head[24] = {88, 0, 0, 0, 0x12, 0, 0xC0, 0x04, 1,    0,    0,    0,
                                   7,  0, 0, 0, 0,    2, 0,    0,    0x4D, 0x3C, 0x2B, 0x1A};
    EXPECT_TRUE(std::equal(std::begin(head), std::end(head), r.begin()));
    const std::string tip(r.begin() + 24, r.end());
    const std::string caption = "Zelvo - " + std::string(zelvo::kVersion);
    EXPECT_EQ(tip, caption + '\0' + std::string(63 - caption.size(), ' '));
    EXPECT_EQ(zelvo::TipText(main.IconData().szTip),
              std::u16string(caption.begin(), caption.end()));
    EXPECT_EQ(window.log, Log{}); // load does nothing else
}

TEST_F(NotifyIcon, LongCaptionIsCutToLeaveRoomForTheNul) {
    window.caption = std::u16string(70, u'x') + u"\u20ac";
    main.Form_Load();
    const NarrowIconData& r = shell.calls[0].record;
    EXPECT_EQ(std::string(r.begin() + 24, r.end()), std::string(63, 'x') + '\0');
    window.caption = u"\u20ac\u4e2d"; // no ANSI form: "?"
    main.Form_Load();
    EXPECT_EQ(std::string(shell.calls[1].record.begin() + 24, shell.calls[1].record.begin() + 27),
              "\x80?\0"s);
}

TEST_F(NotifyIcon, DoubleClickShowsAndRightButtonOpensTheMenu) {
    main.Form_Load();
    window.visible = false;
    Notify(515);
    EXPECT_EQ(window.log, Log{"show"});
    Notify(515); // while visible: shown again, still one window
    Notify(516);
    EXPECT_EQ(window.log, (Log{"show", "show", "popup"}));
}

TEST_F(NotifyIcon, OtherNotificationsDoNothing) {
    for (double message : {0.0, 1.0, 512.0, 513.0, 514.0, 517.0, 518.0, 519.0, 520.0, 522.0, -515.0,
                           515.0 + 65536.0}) {
        Notify(message);
    }
    EXPECT_EQ(window.log, Log{});
}

TEST_F(NotifyIcon, QuotientRoundsHalfToEvenAtEveryFactor) {
    for (double factor : {15.0, 12.0}) {
        window.twipsPerPixel = factor;
        window.log.clear();
        Notify(515.4);
        Notify(514.5);
        EXPECT_EQ(window.log, Log{"show"}) << factor;
        Notify(515.5);
        Notify(516.5);
        EXPECT_EQ(window.log, (Log{"show", "popup", "popup"})) << factor;
    }
}

TEST_F(NotifyIcon, FactorIsReadAfreshOnEveryNotification) {
    window.twipsPerPixel = 15;
    main.Form_MouseMove(0, 0, 515 * 12.0f, 0); // 412 at 15: nothing
    window.twipsPerPixel = 12;
    main.Form_MouseMove(0, 0, 515 * 12.0f, 0);
    EXPECT_EQ(window.log, Log{"show"});
}

TEST_F(NotifyIcon, ExitDeletesTheSameRecordThenEndsOnce) {
    main.Form_Load();
    main.Exit_Click();
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].message, NotifyMessage::Delete);
    EXPECT_EQ(shell.calls[1].record, shell.calls[0].record);
    EXPECT_EQ(window.log, Log{"end"});
    main.Form_Terminate(); // the window's own end after Exit
    EXPECT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(window.log, Log{"end"});
}

TEST_F(NotifyIcon, RestartedShellGetsTheSameRecordAgain) {
    main.Taskbar_Created(); // before load there is nothing to add
    EXPECT_TRUE(shell.calls.empty());
    shell.accept = false;
    main.Form_Load();
    shell.accept = true;
    main.Taskbar_Created();
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].message, NotifyMessage::Add);
    EXPECT_EQ(shell.calls[1].record, shell.calls[0].record);
    main.HideButton_Click(); // the icon is there now: Hide hides
    EXPECT_FALSE(window.visible);
    EXPECT_FALSE(window.minimized);
    main.Exit_Click();
    main.Taskbar_Created(); // nothing after the end
    EXPECT_EQ(shell.calls.size(), 3u);
}

TEST(RoundHalfEven, NearestAndHalfToEvenWithinRange) {
    EXPECT_EQ(zelvo::RoundHalfEven(515.4), 515);
    EXPECT_EQ(zelvo::RoundHalfEven(515.5), 516);
    EXPECT_EQ(zelvo::RoundHalfEven(516.5), 516);
    EXPECT_EQ(zelvo::RoundHalfEven(514.5), 514);
    EXPECT_EQ(zelvo::RoundHalfEven(-0.5), 0);
    EXPECT_EQ(zelvo::RoundHalfEven(-1.5), -2);
    EXPECT_EQ(zelvo::RoundHalfEven(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(zelvo::RoundHalfEven(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(zelvo::RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
}
