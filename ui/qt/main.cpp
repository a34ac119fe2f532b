// zelvo: the window program on Linux.

#include "ui/qt/IconImage.h"
#include "ui/qt/Program.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zelvo"));
    app.setDesktopFileName(QStringLiteral("org.zelvo.Zelvo"));
    app.setWindowIcon(zelvo::qt::WindowIcon());
    // Hidden behind its icon, the program has no window open, yet it goes on running.
    app.setQuitOnLastWindowClosed(false);
    // Nor may a quit lock end it: a library's QEventLoopLocker (a platform theme's tray icon
    // holds one) would quit the program when it lets go while the window is hidden. The
    // program ends by its own Exit only.
    QCoreApplication::setQuitLockEnabled(false);

    zelvo::qt::Program program;
    return app.exec();
}
