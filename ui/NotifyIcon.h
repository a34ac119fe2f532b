// The notification-area icon record, its 88-byte narrow form as the shell receives it,
// and the one shell operation: add or delete an icon with such a record.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zelvo {

inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr std::uint32_t kWmMouseMove = 0x200;
inline constexpr std::size_t kTipLength = 64;

struct NotifyIconData {
    std::uint32_t cbSize = 0;
    std::uint32_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uint32_t hIcon = 0;
    std::array<char16_t, kTipLength> szTip{};

    friend bool operator==(const NotifyIconData&, const NotifyIconData&) = default;
};

// The record as the shell receives it: six little-endian 32-bit fields, then szTip as
// 64 bytes in the ANSI code page.
inline constexpr std::size_t kNarrowRecordSize = 88;
using NarrowIconData = std::array<std::uint8_t, kNarrowRecordSize>;

NarrowIconData ToNarrow(const NotifyIconData& data);
NotifyIconData FromNarrow(const NarrowIconData& narrow);

// `text` left-aligned in 64 characters: filled with spaces on the right, or cut after 64.
std::array<char16_t, kTipLength> FixedWidthTip(std::u16string_view text);

// The tooltip a shell shows: szTip up to its first NUL.
std::u16string_view TipText(const std::array<char16_t, kTipLength>& tip);

enum class NotifyMessage : std::uint32_t { Add = 0, Delete = 2 };

class ShellPort {
public:
    virtual ~ShellPort() = default;
    // Shell_NotifyIconA: returns whether the shell accepted the call.
    virtual bool NotifyIcon(NotifyMessage message, NarrowIconData& record) = 0;
    // Whether an icon that the shell accepted stands in a live notification area now. Where
    // the shell tells the program when its area comes back (Windows' TaskbarCreated), an
    // accepted icon is taken to stand.
    virtual bool IconShown() const { return true; }
};

} // namespace zelvo
