// Numbers that the Windows program and its test driver share: control and command ids,
// the window class, the resource ids.
#pragma once

#define ZELVO_ICON_RESOURCE 1

#ifndef RC_INVOKED
#include "ui/Layout.h"

namespace zelvo::win32 {

inline constexpr wchar_t kWindowClass[] = L"ZelvoMain";
// The controls' font: the system's dialog font at this size, in points at the window's DPI.
inline constexpr wchar_t kFontFace[] = L"MS Shell Dlg";
inline constexpr int kFontPoints = 8;
// Dialog messages send IDOK (1) and IDCANCEL (2) for Enter and Escape; controls start above.
inline constexpr int kFirstControlId = 100;
inline constexpr int kExitCommand = 200;
// The icon's notifications come as this message of the window's own (WM_APP + 1), not as
// the mouse-move message the icon record names: a notification area may post rather than
// send them, and then they could not be told from the pointer's real moves.
inline constexpr unsigned kIconNotifyMessage = 0x8001;

inline constexpr int CommandId(ControlId id) {
    return kFirstControlId + static_cast<int>(id);
}

} // namespace zelvo::win32
#endif
