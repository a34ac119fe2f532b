// The program's start: the window with its caption, icon and controls, the icon added by
// the load handler, then the window shown with the focus in the input box.
#pragma once

#include "ui/Main.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/TerminationSignals.h"
#include "ui/qt/tray/TrayShell.h"

namespace zelvo::qt {

class Program {
public:
    Program();

    MainWindow& window() { return window_; }

private:
    MainWindow window_;
    TrayShell shell_{window_, [this] { main_.Taskbar_Created(); },
                     [this] { main_.Taskbar_Lost(); }};
    Main main_{window_, shell_};
    TerminationSignals termination_{[this] { main_.Form_Terminate(); }};
};

} // namespace zelvo::qt
