// What the program must survive while it runs: thousands of decode, hide and show cycles
// through the real window must not grow its peak memory (a leak per cycle would show here
// long before a user noticed it), and a quit lock let go while it is hidden must not end it.
#include "tests/support/FakeWindow.h"
#include "tests/support/ScanEncoder.h"
#include "ui/Main.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/Program.h"

#include <QApplication>
#include <QEventLoopLocker>
#include <QTimer>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

} // namespace

TEST(QtSoak, DecodeHideShowCyclesKeepPeakMemoryFlat) {
    zelvo::test::FakeShell shell;
    zelvo::qt::MainWindow window;
    zelvo::Main main{window, shell};
    window.attach(main);
    main.Form_Load();
    window.show();

    auto* input = static_cast<QLineEdit*>(window.control(zelvo::ControlId::InputText));
    auto* decode = static_cast<QPushButton*>(window.control(zelvo::ControlId::DecodeButton));
    auto* hide = static_cast<QPushButton*>(window.control(zelvo::ControlId::HideButton));
    const auto cycle = [&](int i) {
        input->setText(QString::fromStdU16String(
            zelvo::test::EncodeScan(std::to_string(i), "IBN", std::to_string(9780131103627 + i))));
        decode->click();
        hide->click();
        window.deliverIconNotification(0x200, 1, zelvo::Main::kLeftDoubleClick);
        QCoreApplication::processEvents();
    };

    for (int i = 0; i < 500; ++i) {
        cycle(i);
    }
    const long before = PeakResidentKb();
    for (int i = 0; i < 10000; ++i) {
        cycle(i);
    }
    const long after = PeakResidentKb();
    std::printf("peak memory after 500 warm-up cycles %ld KB, after 10000 more %ld KB (+%ld KB)\n",
                before, after, after - before);
    EXPECT_TRUE(window.isVisible());
    EXPECT_LT(after - before, 1024);
}

// Plasma's platform theme makes its tray icons hold a QEventLoopLocker: one let go while the
// window is hidden quit the program.
TEST(QtProgram, AQuitLockLetGoWhileHiddenDoesNotEndIt) {
    zelvo::qt::Program program;
    program.window().hide();
    bool ranOn = false;
    QTimer::singleShot(0, [] { QEventLoopLocker lock; });
    QTimer::singleShot(300, [&ranOn] {
        ranOn = true;
        QCoreApplication::exit(7);
    });
    EXPECT_EQ(QCoreApplication::exec(), 7);
    EXPECT_TRUE(ranOn);
}
