// The DPI of a window, icon sizes and the frame for a client area at that DPI, on every Windows
// version: the per-monitor functions of Windows 10 where they exist, the screen's otherwise.
#pragma once

#include <windows.h>

namespace zelvo::win32 {

UINT WindowDpi(HWND hwnd);
// The width and height of an icon of that system metric (SM_CXSMICON or SM_CXICON) at `dpi`.
int IconSizeForDpi(int metric, UINT dpi);
SIZE FrameSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

} // namespace zelvo::win32
