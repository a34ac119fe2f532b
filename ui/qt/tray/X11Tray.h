// The X11 notification area (the XEmbed system tray): who owns its selection, told by the X
// server's events as it changes, and the request that docks a window in it.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>
#include <functional>

struct xcb_connection_t;

namespace zelvo::qt {

class X11Tray : public QObject, public QAbstractNativeEventFilter {
public:
    // `onChange` runs on the GUI thread whenever a tray manager takes the selection or gives
    // it up (quits, crashes, is killed).
    X11Tray(std::function<void(bool present)> onChange, QObject* parent);
    ~X11Tray() override;

    // False without an X server (a Wayland session): no tray event ever comes then.
    bool available() const { return connection_ != nullptr; }
    bool present() const { return owner_ != 0; }
    // Whether the tray asks for icons with an alpha channel (_NET_SYSTEM_TRAY_VISUAL names a
    // 32-bit visual). Asked when the tray came; no answer yet counts as no.
    bool offersArgb();

    // Asks the tray manager to embed `window`, at least `size` pixels square; it sets the
    // window's size. `taken` runs once the tray has taken the window in: the window is to be
    // shown then, not before (GTK's tray parks a window that came mapped off the screen).
    void dock(std::uint32_t window, int size, std::function<void()> taken);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void ownerIs(std::uint32_t owner);
    void setMinimumSize(std::uint32_t window, int size) const;
    void sendDockRequest(std::uint32_t window) const;
    void askVisual();
    bool isArgb(std::uint32_t visual) const;

    std::function<void(bool)> onChange_;
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t selection_ = 0;
    std::uint32_t opcode_ = 0;
    std::uint32_t xembedInfo_ = 0;
    std::uint32_t trayVisual_ = 0;
    unsigned visualRequest_ = 0; // the pending question, 0 when answered
    bool argb_ = false;
    std::uint8_t xfixesFirstEvent_ = 0;
    std::uint32_t owner_ = 0;
    std::uint32_t root_ = 0;
    std::uint32_t docked_ = 0;
    int dockedSize_ = 0;
    bool dockAskedAgain_ = false;
    std::function<void()> taken_;
};

} // namespace zelvo::qt
