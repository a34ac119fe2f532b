#include "ui/qt/IconImage.h"

#include "ui/Layout.h"

#include <QIconEngine>
#include <QPainter>

namespace zelvo::qt {
namespace {

// Draws the largest whole multiple of the image that fits, centred; smooth scaling would
// blur the one-pixel digits.
class PixelIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const int scale = std::max(1, std::min(rect.width(), rect.height()) / kIconSize);
        const QImage image = IconImage(scale);
        const QPoint corner(rect.x() + (rect.width() - image.width()) / 2,
                            rect.y() + (rect.height() - image.height()) / 2);
        painter->drawImage(corner, image);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }

    QIconEngine* clone() const override { return new PixelIconEngine; }
    QString key() const override { return QStringLiteral("zelvo-pixels"); }
};

} // namespace

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

QImage CentredIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int entry = CentredIconPaletteIndex(size, x, y);
            const Rgb& c = kIconPalette[std::max(entry, 0)];
            image.setPixel(x, y, entry < 0 ? qRgba(0, 0, 0, 0) : qRgb(c.red, c.green, c.blue));
        }
    }
    return image;
}

QIcon WindowIcon() {
    return QIcon(new PixelIconEngine);
}

} // namespace zelvo::qt
