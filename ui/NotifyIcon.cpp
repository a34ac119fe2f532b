#include "ui/NotifyIcon.h"

#include "decode/AnsiCodePage.h"

#include <algorithm>
#include <string_view>

namespace zelvo {
namespace {

constexpr std::size_t kTipOffset = 24;

void PutU32(NarrowIconData& out, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t GetU32(const NarrowIconData& in, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(in[offset + i]) << (8 * i);
    }
    return value;
}

} // namespace

NarrowIconData ToNarrow(const NotifyIconData& data) {
    NarrowIconData narrow{};
    const std::uint32_t fields[] = {data.cbSize,           data.hWnd, data.uID, data.uFlags,
                                    data.uCallbackMessage, data.hIcon};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        PutU32(narrow, 4 * i, fields[i]);
    }
    for (std::size_t i = 0; i < kTipLength; ++i) {
        narrow[kTipOffset + i] = UnicodeToAnsi(data.szTip[i]).value_or('?');
    }
    return narrow;
}

NotifyIconData FromNarrow(const NarrowIconData& narrow) {
    NotifyIconData data;
    data.cbSize = GetU32(narrow, 0);
    data.hWnd = GetU32(narrow, 4);
    data.uID = GetU32(narrow, 8);
    data.uFlags = GetU32(narrow, 12);
    data.uCallbackMessage = GetU32(narrow, 16);
    data.hIcon = GetU32(narrow, 20);
    for (std::size_t i = 0; i < kTipLength; ++i) {
        data.szTip[i] = AnsiToUnicode(narrow[kTipOffset + i]);
    }
    return data;
}

std::array<char16_t, kTipLength> FixedWidthTip(std::u16string_view text) {
    std::array<char16_t, kTipLength> tip;
    tip.fill(u' ');
    std::copy_n(text.begin(), std::min(text.size(), kTipLength), tip.begin());
    return tip;
}

std::u16string_view TipText(const std::array<char16_t, kTipLength>& tip) {
    const std::u16string_view all(tip.data(), tip.size());
    return all.substr(0, all.find(u'\0'));
}

} // namespace zelvo
