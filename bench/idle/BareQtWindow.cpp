// Benchmark reference: a bare Qt window, one line edit and nothing else, for the idle
// wake-ups of the toolkit alone.
#include <QApplication>
#include <QLineEdit>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle(QStringLiteral("bare Qt window"));
    edit.show();
    return app.exec();
}
