// zelvo: the window program on Linux.

#include "ui/qt/IconImage.h"
#include "ui/qt/Program.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("zelvo"));
    app.setDesktopFileName(QStringLiteral("org.zelvo.Zelvo"));
    app.setWindowIcon(zelvo::qt::WindowIcon());

    zelvo::qt::Program program;
    return app.exec();
}
