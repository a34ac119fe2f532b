#include "ui/win32/ShellNotify.h"

#include "ui/win32/Win32Ids.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

namespace zelvo::win32 {
namespace {

static_assert(kIconNotifyMessage == WM_APP + 1);

// Handles travel as 32 bits; Windows sign-extends them to 64 bits where pointers are wider.
template <typename Handle> Handle FromHandleValue(std::uint32_t value) {
    return reinterpret_cast<Handle>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

} // namespace

bool ShellNotify::NotifyIcon(NotifyMessage message, NarrowIconData& record) {
    const NotifyIconData fields = FromNarrow(record);
    NOTIFYICONDATAA data{};
    // The first layout is 88 bytes with 32-bit handles and 104 with 64-bit ones: the size
    // the record names is the platform's own size of that layout.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = FromHandleValue<HWND>(fields.hWnd);
    data.uID = fields.uID;
    data.uFlags = fields.uFlags;
    data.uCallbackMessage =
        fields.uCallbackMessage == WM_MOUSEMOVE ? kIconNotifyMessage : fields.uCallbackMessage;
    data.hIcon = FromHandleValue<HICON>(fields.hIcon);
    // The later layouts widen szTip; the first one, whose size we pass, holds 64 bytes.
    static_assert(sizeof data.szTip >= kTipLength);
    std::memcpy(data.szTip, record.data() + (kNarrowRecordSize - kTipLength), kTipLength);
    return Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

} // namespace zelvo::win32
