// zelvo: the window program on Linux.

#include "IconImage.h"
#include "Main.h"
#include "MainWindow.h"
#include "TerminationSignals.h"
#include "TrayShell.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zelvo"));
    app.setDesktopFileName(QStringLiteral("zelvo"));
    app.setWindowIcon(zelvo::qt::WindowIcon());
    // Hidden behind its icon, the program has no window open, yet it goes on running.
    app.setQuitOnLastWindowClosed(false);

    zelvo::qt::MainWindow window;
    zelvo::qt::TrayShell shell(window);
    zelvo::Main main(window, shell);
    window.attach(main);
    zelvo::qt::TerminationSignals termination([&main] { main.Form_Terminate(); });

    main.Form_Load();
    window.show();
    window.SetFocus(zelvo::ControlId::InputText);
    return app.exec();
}
