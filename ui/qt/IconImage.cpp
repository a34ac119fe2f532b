#include "IconImage.h"

#include "Layout.h"

namespace zelvo::qt {

QImage IconImage(int scale) {
    QImage image(kIconSize * scale, kIconSize * scale, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb& c = kIconPalette[IconPaletteIndex(x / scale, y / scale)];
            image.setPixel(x, y, qRgb(c.red, c.green, c.blue));
        }
    }
    return image;
}

QIcon WindowIcon() {
    QIcon icon;
    // Larger sizes scale pixel for pixel, so the digits stay crisp in a bigger tray.
    for (int scale : {1, 2, 3, 4}) {
        icon.addPixmap(QPixmap::fromImage(IconImage(scale)));
    }
    return icon;
}

} // namespace zelvo::qt
