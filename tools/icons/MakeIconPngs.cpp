// Build tool: writes the icon for the desktop's icon theme as PNG files at 16, 32, 48, 64
// and 128 pixels, each a whole multiple of the 16x16 image, pixel for pixel.
// Usage: make-icon-pngs OUTPUT_DIR   (writes OUTPUT_DIR/SIZExSIZE/apps/zelvo.png)
#include "ui/qt/IconImage.h"
#include "ui/Layout.h"

#include <QDir>
#include <QGuiApplication>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int scale : {1, 2, 3, 4, 8}) {
        const int size = zelvo::kIconSize * scale;
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(dir) || !zelvo::qt::IconImage(scale).save(dir + "/zelvo.png")) {
            return 1;
        }
    }
    return 0;
}
