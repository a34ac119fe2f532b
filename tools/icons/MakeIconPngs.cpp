// Build tool: writes the icon as PNG files, each the 16x16 image at the largest whole multiple
// that fits, pixel for pixel, centred: the desktop's icon theme at its usual sizes, and the
// program's own theme, which its tray item names, at every size from 16 to 64 pixels.
// Usage: make-icon-pngs THEME_DIR OWN_THEME_DIR   (each gets hicolor/SIZExSIZE/apps/zelvo.png)
#include "ui/Layout.h"
#include "ui/qt/IconImage.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

bool WriteImage(const QString& theme, int size) {
    const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(theme).arg(size);
    return QDir().mkpath(dir) && zelvo::qt::CentredIconImage(size).save(dir + "/zelvo.png");
}

// A panel looks an item's icon up in the item's theme at the size it draws (xfce4-panel at
// GDK_SCALE=2: 44). The desktop's hicolor theme has no such directory, so a lookup there
// takes the next larger image and scales it down, blurred; here every size is one of its own.
bool WriteOwnTheme(const QString& theme) {
    QStringList directories;
    QString sections;
    for (int size = zelvo::kIconSize; size <= 4 * zelvo::kIconSize; ++size) {
        if (!WriteImage(theme, size)) {
            return false;
        }
        const QString dir = QStringLiteral("%1x%1/apps").arg(size);
        directories << dir;
        sections += QStringLiteral("\n[%1]\nSize=%2\nType=Fixed\nContext=Applications\n")
                        .arg(dir)
                        .arg(size);
    }
    QFile index(theme + QStringLiteral("/hicolor/index.theme"));
    return index.open(QIODevice::WriteOnly) &&
           index.write(QStringLiteral("[Icon Theme]\nName=Hicolor\nComment=Zelvo's icon at "
                                      "every size a panel draws\nDirectories=%1\n%2")
                           .arg(directories.join(','), sections)
                           .toUtf8()) > 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128}) {
        if (!WriteImage(theme, size)) {
            return 1;
        }
    }
    return WriteOwnTheme(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
