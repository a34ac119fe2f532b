#include "ui/qt/tray/XEmbedIcon.h"

#include "ui/Layout.h"
#include "ui/qt/IconImage.h"
#include "ui/qt/tray/TrayProtocol.h"

#include <QMouseEvent>
#include <xcb/xcb.h>
#include <QPainter>
#include <QTimer>

namespace zelvo::qt {

XEmbedIcon::XEmbedIcon(const QString& toolTip, bool withImage,
                       std::function<void(std::uint32_t)> onMouse)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint),
      withImage_(withImage), onMouse_(std::move(onMouse)) {
    setObjectName(QStringLiteral("ZelvoTrayIcon"));
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setAttribute(Qt::WA_QuitOnClose, false);
    setToolTip(toolTip);
    // Trays size their icons from the window's smallest size; the image's own size is the
    // one it is crisp at.
    setMinimumSize(kIconSize, kIconSize);
    resize(kIconSize, kIconSize);
}

void XEmbedIcon::paintEvent(QPaintEvent*) {
    // In screen pixels: the tray sizes the window in them, and at 150 % a logical pixel is
    // one screen pixel here and two there.
    const qreal ratio = devicePixelRatioF();
    const int screenWidth = qRound(width() * ratio);
    const int screenHeight = qRound(height() * ratio);
    QPainter painter(this);
    painter.scale(1 / ratio, 1 / ratio);
    painter.fillRect(QRect(0, 0, screenWidth, screenHeight), palette().window());
    if (!withImage_) {
        return;
    }
    const QImage image = CentredIconImage(std::min(screenWidth, screenHeight));
    painter.drawImage(
        QPoint((screenWidth - image.width()) / 2, (screenHeight - image.height()) / 2), image);
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
