// The Qt window under the offscreen platform: geometry at the screen's DPI, keyboard use,
// and the handlers' effects as a user sees them.
#include "tests/support/FakeWindow.h"
#include "tests/support/ScanEncoder.h"
#include "ui/Main.h"
#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>

#include <gtest/gtest.h>

using zelvo::ControlId;
using zelvo::NotifyMessage;

namespace {

class QtMainWindow : public ::testing::Test {
protected:
    QtMainWindow() {
        window.attach(main);
        main.Form_Load();
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        window.SetFocus(ControlId::InputText);
    }

    QLineEdit* edit(ControlId id) { return static_cast<QLineEdit*>(window.control(id)); }
    QString text(ControlId id) { return edit(id)->text(); }

    // Access keys click their button through animateClick, which lands about 100 ms later.
    bool pressAccessKey(Qt::Key key, const std::function<bool()>& done) {
        QTest::keyClick(&window, key, Qt::AltModifier);
        return QTest::qWaitFor(done, 3000);
    }

    zelvo::test::FakeShell shell;
    zelvo::qt::MainWindow window;
    zelvo::Main main{window, shell};
    const std::u16string line16 =
        zelvo::test::EncodeScan("000000002101482501", "IBN", "9780131103627");
    const QString line = QString::fromStdU16String(line16);
};

struct Geometry {
    int dpi;
    QSize client;
    ControlId id;
    QRect inWindow;
};

} // namespace

TEST_F(QtMainWindow, ControlsSitWhereTheLayoutPutsThemAtTheScreensDpi) {
    const int dpi = window.logicalDpiX();
    ASSERT_TRUE(dpi == 96 || dpi == 120) << "run at 96 or 120 DPI, not " << dpi;
    const Geometry expected[] = {
        {96, {499, 191}, ControlId::InputText, {16, 32, 337, 19}},
        {96, {499, 191}, ControlId::Frame1, {8, 64, 361, 121}},
        {96, {499, 191}, ControlId::CodeText, {96, 152, 265, 19}},
        {96, {499, 191}, ControlId::HideButton, {376, 144, 113, 33}},
        {120, {624, 239}, ControlId::InputLabel, {20, 20, 111, 21}},
        {120, {624, 239}, ControlId::SerialText, {120, 110, 331, 24}},
        {120, {624, 239}, ControlId::DecodeButton, {470, 40, 141, 41}},
    };
    int checked = 0;
    for (const Geometry& g : expected) {
        if (g.dpi != dpi) {
            continue;
        }
        EXPECT_EQ(window.size(), g.client);
        QWidget* control = window.control(g.id);
        const QRect actual(control->mapTo(&window, QPoint(0, 0)), control->size());
        EXPECT_EQ(actual, g.inWindow) << zelvo::Control(g.id).name;
        ++checked;
    }
    EXPECT_GE(checked, 3);
    EXPECT_EQ(window.control(ControlId::SerialText)->parentWidget(),
              window.control(ControlId::Frame1));
    EXPECT_EQ(window.TwipsPerPixelX(), 1440.0 / dpi);
}

TEST_F(QtMainWindow, CaptionsAndStartingState) {
    EXPECT_EQ(window.windowTitle(), "Zelvo - " + QString::fromLatin1(zelvo::kVersion));
    EXPECT_EQ(static_cast<QPushButton*>(window.control(ControlId::DecodeButton))->text(),
              "&Decode");
    EXPECT_EQ(static_cast<QGroupBox*>(window.control(ControlId::Frame1))->title(),
              "Decoded Output");
    EXPECT_EQ(static_cast<QLabel*>(window.control(ControlId::InputLabel))->text(),
              "CueCat Output:");
    EXPECT_EQ(window.iconPopup()->actions().value(0)->text(), "E&xit");
    EXPECT_TRUE(window.control(ControlId::InputText)->hasFocus());
    for (auto id : {ControlId::InputText, ControlId::SerialText, ControlId::CodeTypeText,
                    ControlId::CodeText}) {
        EXPECT_TRUE(text(id).isEmpty());
    }
    EXPECT_EQ(window.control(ControlId::CodeTypeText)->accessibleName(), "Code Type");
    EXPECT_EQ(edit(ControlId::SerialText)->palette().color(QPalette::Base),
              QApplication::palette("QMenu").color(QPalette::Window));
}

TEST_F(QtMainWindow, TabVisitsInputButtonsAndOutputsInTabIndexOrder) {
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, QStringList({"InputText", "DecodeButton", "ClearButton", "SerialText",
                                    "CodeTypeText", "CodeText", "HideButton", "InputText"}));
}

TEST_F(QtMainWindow, AccessKeysPressTheButtons) {
    QTest::keyClicks(edit(ControlId::InputText), line);
    ASSERT_TRUE(pressAccessKey(Qt::Key_D, [&] { return !text(ControlId::CodeText).isEmpty(); }));
    EXPECT_EQ(text(ControlId::SerialText), "000000002101482501");
    EXPECT_EQ(text(ControlId::CodeTypeText), "IBN");
    EXPECT_EQ(text(ControlId::CodeText), "9780131103627");
    ASSERT_TRUE(pressAccessKey(Qt::Key_C, [&] { return text(ControlId::InputText).isEmpty(); }));
    EXPECT_TRUE(text(ControlId::CodeText).isEmpty());
    ASSERT_TRUE(pressAccessKey(Qt::Key_H, [&] { return !window.isVisible(); }));
}

TEST_F(QtMainWindow, EnterInTheInputBoxDoesNotDecode) {
    QTest::keyClicks(edit(ControlId::InputText), line);
    QTest::keyClick(edit(ControlId::InputText), Qt::Key_Return);
    QTest::keyClick(edit(ControlId::InputText), Qt::Key_Enter);
    QTest::qWait(300);
    EXPECT_TRUE(text(ControlId::SerialText).isEmpty());
}

TEST_F(QtMainWindow, DecodeSelectsTheLineSoTheNextScanReplacesIt) {
    QTest::keyClicks(edit(ControlId::InputText), line);
    QTest::mouseClick(window.control(ControlId::DecodeButton), Qt::LeftButton);
    EXPECT_TRUE(edit(ControlId::InputText)->hasFocus());
    EXPECT_EQ(edit(ControlId::InputText)->selectedText(), line);
    const QString next = QString::fromStdU16String(zelvo::test::EncodeScan("1", "UPA", "042"));
    QTest::keyClicks(edit(ControlId::InputText), next);
    EXPECT_EQ(text(ControlId::InputText), next);
}

TEST_F(QtMainWindow, OutputsAreReadOnlyButCopyable) {
    edit(ControlId::InputText)->setText(line);
    QTest::mouseClick(window.control(ControlId::DecodeButton), Qt::LeftButton);
    QLineEdit* code = edit(ControlId::CodeText);
    code->setFocus();
    QTest::keyClicks(code, "xyz");
    QTest::keyClick(code, Qt::Key_Backspace);
    EXPECT_EQ(code->text(), "9780131103627");
    QTest::keyClick(code, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(code, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "9780131103627");
}

TEST_F(QtMainWindow, ControlCharactersShowAsPicturesAndLongLinesStayWhole) {
    const std::u16string serial = zelvo::test::EncodeField({'a', 0x00, 'b', 0x09});
    const QString codeField(30000, 'b');
    edit(ControlId::InputText)
        ->setText(QString::fromStdU16String(u"." + serial + u"..") + codeField + ".");
    EXPECT_EQ(text(ControlId::InputText).size(), 30000 + serial.size() + 4);
    QTest::mouseClick(window.control(ControlId::DecodeButton), Qt::LeftButton);
    EXPECT_EQ(text(ControlId::SerialText), QString::fromUtf16(u"a\u2400b\u2409"));
    EXPECT_EQ(text(ControlId::CodeText).size(), 22500);
    // A line that long holds the caret still, which would otherwise cost a core's time to
    // draw; the desktop's blinking comes back with a short line.
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 0);
    QTest::mouseClick(window.control(ControlId::ClearButton), Qt::LeftButton);
    EXPECT_GT(QGuiApplication::styleHints()->cursorFlashTime(), 0);
}

TEST_F(QtMainWindow, HideKeepsTheTextsAndTheIconBringsTheWindowBack) {
    edit(ControlId::InputText)->setText(line);
    QTest::mouseClick(window.control(ControlId::DecodeButton), Qt::LeftButton);
    QTest::mouseClick(window.control(ControlId::HideButton), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    window.deliverIconNotification(0x200, 1, zelvo::Main::kLeftDoubleClick);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(text(ControlId::InputText), line);
    EXPECT_EQ(text(ControlId::CodeText), "9780131103627");
}

TEST_F(QtMainWindow, RealPointerMovesNeverReachTheIconLogic) {
    // At 120 DPI, x = 515 pixels lies inside the client area.
    window.setFixedSize(700, 300);
    for (int x : {515, 516}) {
        QTest::mouseMove(&window, QPoint(x, 250));
        QTest::qWait(50);
    }
    EXPECT_FALSE(window.iconPopup()->isVisible());
    EXPECT_EQ(shell.calls.size(), 1u);
}

TEST_F(QtMainWindow, ClosingTheWindowRemovesTheIcon) {
    window.close();
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].message, NotifyMessage::Delete);
    EXPECT_EQ(shell.calls[1].record, shell.calls[0].record);
}
