#include "decode/AnsiCodePage.h"

#include <array>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelvo {
namespace {

using Table = std::array<char16_t, 256>;

// Windows-1252. Its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control characters of the same value, as Windows itself converts them.
constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

Table Cp1252Table() {
    Table table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        table[byte] =
            (byte >= 0x80 && byte < 0xA0) ? kCp1252High[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return table;
}

#ifdef _WIN32
// The system's ANSI code page, when it is a single-byte one; multi-byte code pages (Japanese,
// Chinese, Korean systems) cannot give each byte its own character, so those use 1252.
Table SystemTable() {
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1) {
        return Cp1252Table();
    }
    Table table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char in = static_cast<char>(byte);
        wchar_t out = 0;
        if (MultiByteToWideChar(CP_ACP, 0, &in, 1, &out, 1) == 1) {
            table[byte] = static_cast<char16_t>(out);
        } else {
            table[byte] = static_cast<char16_t>(byte);
        }
    }
    return table;
}
#else
Table SystemTable() {
    return Cp1252Table();
}
#endif

} // namespace

const std::array<char16_t, 256>& AnsiCodePageTable() {
    static const Table table = SystemTable();
    return table;
}

char16_t AnsiToUnicode(std::uint8_t byte) {
    return AnsiCodePageTable()[byte];
}

std::optional<std::uint8_t> UnicodeToAnsi(char16_t ch) {
    const Table& table = AnsiCodePageTable();
    // ASCII maps to itself in every single-byte code page Windows uses.
    if (ch < 0x80 && table[ch] == ch) {
        return static_cast<std::uint8_t>(ch);
    }
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (table[byte] == ch) {
            return static_cast<std::uint8_t>(byte);
        }
    }
    return std::nullopt;
}

} // namespace zelvo
