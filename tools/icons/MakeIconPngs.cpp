// Build tool: writes the icon for the desktop's icon theme as PNG files at 16, 22, 24, 32, 48,
// 64 and 128 pixels, each the 16x16 image at a whole multiple, pixel for pixel, centred.
// Usage: make-icon-pngs OUTPUT_DIR   (writes OUTPUT_DIR/hicolor/SIZExSIZE/apps/zelvo.png)
#include "ui/qt/IconImage.h"

#include <QDir>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128}) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(dir) || !zelvo::qt::CentredIconImage(size).save(dir + "/zelvo.png")) {
            return 1;
        }
    }
    return 0;
}
