#include "ui/qt/tray/XEmbedIcon.h"

#include "ui/Layout.h"
#include "ui/qt/IconImage.h"
#include "ui/qt/tray/TrayProtocol.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <vector>

namespace zelvo::qt {

XEmbedIcon::XEmbedIcon(const QString& toolTip, bool withImage, bool argb,
                       std::function<void(std::uint32_t)> onMouse)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint),
      withImage_(withImage), argb_(argb && withImage), onMouse_(std::move(onMouse)) {
    setObjectName(QStringLiteral("ZelvoTrayIcon"));
    // Before the window exists: Qt gives it a 32-bit visual then.
    setAttribute(Qt::WA_TranslucentBackground, argb_);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setAttribute(Qt::WA_QuitOnClose, false);
    setToolTip(toolTip);
    // Trays size their icons from the window's smallest size; the image's own size is the
    // one it is crisp at.
    setMinimumSize(kIconSize, kIconSize);
    resize(kIconSize, kIconSize);
}

// In screen pixels: the tray sizes the window in them, and at 150 % a logical pixel is one
// screen pixel here and two there.
QSize XEmbedIcon::screenSize() const {
    const qreal ratio = devicePixelRatioF();
    return {qRound(width() * ratio), qRound(height() * ratio)};
}

QPoint XEmbedIcon::imageOrigin(const QImage& image) const {
    const QSize size = screenSize();
    return {(size.width() - image.width()) / 2, (size.height() - image.height()) / 2};
}

void XEmbedIcon::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QSize size = screenSize();
    QPainter painter(this);
    painter.scale(1 / ratio, 1 / ratio);
    if (!withImage_) {
        painter.fillRect(QRect(QPoint(), size), palette().window());
        return;
    }
    const QImage image = CentredIconImage(std::min(size.width(), size.height()));
    painter.drawImage(imageOrigin(image), image);
}

void XEmbedIcon::resizeEvent(QResizeEvent*) {
    if (withImage_ && !argb_) {
        cutToImage();
    }
}

// A tray without an alpha channel shows its own background where the window is cut away;
// the image is all opaque pixels, so what is left is exactly the image.
void XEmbedIcon::cutToImage() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        return;
    }
    const QSize size = screenSize();
    const QImage image = CentredIconImage(std::min(size.width(), size.height()));
    const QRegion opaque =
        QRegion(QBitmap::fromImage(image.createAlphaMask())).translated(imageOrigin(image));
    std::vector<xcb_rectangle_t> rectangles;
    for (const QRect& rect : opaque) {
        rectangles.push_back(
            {static_cast<std::int16_t>(rect.x()), static_cast<std::int16_t>(rect.y()),
             static_cast<std::uint16_t>(rect.width()), static_cast<std::uint16_t>(rect.height())});
    }
    xcb_shape_rectangles(x11->connection(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_UNSORTED, static_cast<xcb_window_t>(winId()), 0, 0,
                         static_cast<std::uint32_t>(rectangles.size()), rectangles.data());
    xcb_flush(x11->connection());
}

bool XEmbedIcon::nativeEvent(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY) {
        return false;
    }
    const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
    // trayer sizes a new icon below its smallest size and then, docked again, to its own
    // size; about one time in four Qt then painted the icon at the small size and never
    // again at the full one, leaving most of it black. Each size the tray gives is painted
    // afresh, once Qt is done with this event.
    if (configure->window == winId()) {
        QTimer::singleShot(0, this, [this] { update(); });
    }
    return false;
}

void XEmbedIcon::mousePressEvent(QMouseEvent* event) {
    tell(MouseMessageFor(event->button(), false));
}

void XEmbedIcon::mouseDoubleClickEvent(QMouseEvent* event) {
    tell(MouseMessageFor(event->button(), true));
}

void XEmbedIcon::tell(std::uint32_t mouseMessage) {
    // Queued, as the shell's messages are: the handler may open a menu or remove this very
    // icon, which must not happen inside its own mouse handler.
    QTimer::singleShot(0, this, [this, mouseMessage] { onMouse_(mouseMessage); });
}

} // namespace zelvo::qt
