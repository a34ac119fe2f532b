// The DPI of a window and the frame size for a client area at that DPI, on every Windows
// version: the per-monitor functions of Windows 10 where they exist, the screen's otherwise.
#pragma once

#include <windows.h>

namespace zelvo::win32 {

UINT WindowDpi(HWND hwnd);
SIZE FrameSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

} // namespace zelvo::win32
