// What the window's handlers need of a window toolkit: the boxes' texts, the focus, showing
// and hiding, the popup menu and the screen's scale. Each front end implements it.
#pragma once

#include "ui/Layout.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zelvo {

class WindowPort {
public:
    virtual ~WindowPort() = default;

    virtual std::u16string Text(ControlId box) const = 0;
    virtual void SetText(ControlId box, std::u16string_view text) = 0;
    virtual void SetFocus(ControlId control) = 0;
    virtual void SelectAll(ControlId box) = 0;

    // Shows the window modeless, restoring it when minimised and bringing it to the front.
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Minimize() = 0;
    virtual void Beep() = 0;

    // Opens the icon's popup menu at the pointer and returns when it has closed.
    virtual void PopupIconMenu() = 0;

    // Values that identify the window and its icon to the shell, in 32 bits.
    virtual std::uint32_t Handle() const = 0;
    virtual std::uint32_t IconHandle() const = 0;
    virtual std::u16string Caption() const = 0;

    // Twips in one screen pixel across: 1440 divided by the screen's horizontal DPI.
    virtual double TwipsPerPixelX() const = 0;

    // Ends the program at once; no further event of the window is handled.
    virtual void EndProgram() = 0;
};

} // namespace zelvo
