#include "tests/support/FakeWindow.h"
#include "ui/Main.h"

#include "tests/support/ScanEncoder.h"

#include <gtest/gtest.h>

using zelvo::ControlId;
using zelvo::Main;
using zelvo::test::FakeShell;
using zelvo::test::FakeWindow;
using Log = std::vector<std::string>;

namespace {

class MainCommands : public ::testing::Test {
protected:
    FakeWindow window;
    FakeShell shell;
    Main main{window, shell};
    const std::u16string line =
        zelvo::test::EncodeScan("000000002101482501", "IBN", "9780131103627");
};

} // namespace

TEST_F(MainCommands, DecodeWritesTheThreeResultsInOrderThenSelectsTheLine) {
    window.texts[ControlId::InputText] = line;
    main.DecodeButton_Click();
    EXPECT_EQ(window.log, (Log{"set SerialText", "set CodeTypeText", "set CodeText",
                               "focus InputText", "select InputText"}));
    EXPECT_EQ(window.texts[ControlId::SerialText], u"000000002101482501");
    EXPECT_EQ(window.texts[ControlId::CodeTypeText], u"IBN");
    EXPECT_EQ(window.texts[ControlId::CodeText], u"9780131103627");
    EXPECT_EQ(window.texts[ControlId::InputText], line);

    window.log.clear();
    main.DecodeButton_Click();
    EXPECT_EQ(window.texts[ControlId::CodeText], u"9780131103627");
}

TEST_F(MainCommands, DecodeWithAnEmptyBoxDoesNothing) {
    window.texts[ControlId::SerialText] = u"kept";
    main.DecodeButton_Click();
    EXPECT_EQ(window.log, Log{});
    EXPECT_EQ(window.texts[ControlId::SerialText], u"kept");
    EXPECT_FALSE(window.focus);
}

TEST_F(MainCommands, LineWithoutThreeFieldsEmptiesTheOutputsAndBeeps) {
    window.texts[ControlId::InputText] = line;
    main.DecodeButton_Click();
    window.log.clear();
    window.texts[ControlId::InputText] = u" "; // a space is not empty: it is decoded
    main.DecodeButton_Click();
    EXPECT_EQ(window.log, (Log{"set SerialText", "set CodeTypeText", "set CodeText", "beep",
                               "focus InputText", "select InputText"}));
    EXPECT_EQ(window.texts[ControlId::SerialText], u"");
    EXPECT_EQ(window.texts[ControlId::CodeText], u"");
    EXPECT_EQ(window.texts[ControlId::InputText], u" ");
}

TEST_F(MainCommands, ControlCharactersAreShownAsPictures) {
    window.texts[ControlId::InputText] =
        u"." + zelvo::test::EncodeField({0x00, 'A', 0x0A, 0x7F}) + u"...";
    main.DecodeButton_Click();
    EXPECT_EQ(window.texts[ControlId::SerialText], u"\u2400A\u240a\u2421");
}

TEST_F(MainCommands, ClearEmptiesAllFourBoxesAndFocusesTheInput) {
    window.texts[ControlId::InputText] = line;
    main.DecodeButton_Click();
    window.log.clear();
    main.ClearButton_Click();
    EXPECT_EQ(window.log, (Log{"set InputText", "set SerialText", "set CodeTypeText",
                               "set CodeText", "focus InputText"}));
    for (auto box : {ControlId::InputText, ControlId::SerialText, ControlId::CodeTypeText,
                     ControlId::CodeText}) {
        EXPECT_EQ(window.texts[box], u"");
    }
    window.log.clear();
    main.ClearButton_Click(); // also when everything is empty already
    EXPECT_EQ(window.log.back(), "focus InputText");
}

TEST_F(MainCommands, HideKeepsTheTextsAndTheIcon) {
    main.Form_Load();
    window.texts[ControlId::InputText] = line;
    main.DecodeButton_Click();
    const auto texts = window.texts;
    main.HideButton_Click();
    EXPECT_FALSE(window.visible);
    EXPECT_EQ(window.texts, texts);
    EXPECT_EQ(shell.calls.size(), 1u);
    main.Form_MouseMove(0, 0, 515 * 15.0f, 0);
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(window.texts, texts);
}

TEST_F(MainCommands, HideMinimisesWhenThereIsNoNotificationArea) {
    shell.accept = false;
    main.Form_Load();
    main.HideButton_Click();
    EXPECT_TRUE(window.visible);
    EXPECT_TRUE(window.minimized);
}

// The notification area may go away at any time: the window is never left hidden without
// an icon to bring it back.
TEST_F(MainCommands, AWindowIsNeverStrandedWhenTheNotificationAreaGoes) {
    main.Form_Load();
    shell.shown = false; // gone while the window is shown, and not yet reported
    main.HideButton_Click();
    EXPECT_EQ(window.log, Log{"minimize"});

    shell.shown = true;
    window.log.clear();
    main.HideButton_Click();
    main.Taskbar_Lost(); // gone while hidden
    EXPECT_EQ(window.log, (Log{"hide", "minimize"}));
    main.Taskbar_Lost(); // once
    main.HideButton_Click();
    EXPECT_EQ(window.log, (Log{"hide", "minimize", "minimize"}));

    main.Taskbar_Created(); // back: Hide hides again, and a lost icon after a show does nothing
    main.HideButton_Click();
    main.Form_MouseMove(0, 0, 515 * 15.0f, 0);
    main.Taskbar_Lost();
    EXPECT_EQ(window.log, (Log{"hide", "minimize", "minimize", "hide", "show"}));
}

TEST(ControlPictures, MapC0AndDeleteOnly) {
    const std::u16string all = std::u16string(u"\0\x1f\x20\x7e\x7f\x80\u00e9", 7);
    EXPECT_EQ(zelvo::WithControlPictures(all), u"\u2400\u241f\x20\x7e\u2421\x80\u00e9");
}
