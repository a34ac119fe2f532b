#include "ui/qt/Program.h"

#include <QGuiApplication>

namespace zelvo::qt {

Program::Program() {
    // Hidden behind its icon, the program has no window open, yet it goes on running; nor may
    // a quit lock end it: a library's QEventLoopLocker (a platform theme's tray icon holds
    // one) would quit the program when it lets go while the window is hidden. The program
    // ends by its own Exit only.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setQuitLockEnabled(false);
    window_.attach(main_);
    main_.Form_Load();
    window_.show();
    window_.SetFocus(ControlId::InputText);
}

} // namespace zelvo::qt
