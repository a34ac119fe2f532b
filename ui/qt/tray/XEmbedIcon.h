// The icon's own small window for an X11 tray: the table's pixels at a whole multiple of the
// tray's size, centred, and the mouse buttons pressed on it told as Windows' mouse messages.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

namespace zelvo::qt {

class XEmbedIcon : public QWidget {
public:
    // `onMouse` gets the mouse message of each press and double-click, queued.
    XEmbedIcon(const QString& toolTip, bool withImage, std::function<void(std::uint32_t)> onMouse);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void tell(std::uint32_t mouseMessage);

    bool withImage_;
    std::function<void(std::uint32_t)> onMouse_;
};

} // namespace zelvo::qt
