// The icon's own small window for an X11 tray: the table's pixels at a whole multiple of the
// tray's size, centred, over the tray's own background, and the mouse buttons pressed on it
// told as Windows' mouse messages.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

namespace zelvo::qt {

class XEmbedIcon : public QWidget {
public:
    // `onMouse` gets the mouse message of each press and double-click, queued. `argb`: the
    // tray composites icons with an alpha channel; otherwise the window is cut to the image.
    XEmbedIcon(const QString& toolTip, bool withImage, bool argb,
               std::function<void(std::uint32_t)> onMouse);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void tell(std::uint32_t mouseMessage);
    QSize screenSize() const;
    QPoint imageOrigin(const QImage& image) const;
    void cutToImage();

    bool withImage_;
    bool argb_;
    std::function<void(std::uint32_t)> onMouse_;
};

} // namespace zelvo::qt
