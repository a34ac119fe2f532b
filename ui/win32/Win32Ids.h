// Numbers that the Windows program and its test driver share: control and command ids,
// the window class, the resource ids.
#pragma once

#define ZELVO_ICON_RESOURCE 1

#ifndef RC_INVOKED
#include "ui/Layout.h"

namespace zelvo::win32 {

inline constexpr wchar_t kWindowClass[] = L"ZelvoMain";
// Dialog messages send IDOK (1) and IDCANCEL (2) for Enter and Escape; controls start above.
inline constexpr int kFirstControlId = 100;
inline constexpr int kExitCommand = 200;

inline constexpr int CommandId(ControlId id) {
    return kFirstControlId + static_cast<int>(id);
}

} // namespace zelvo::win32
#endif
