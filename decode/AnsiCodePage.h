// The single-byte (ANSI) code page by which decoded bytes become characters, and back.
// On Windows the system's code page when it is single-byte; otherwise Windows-1252.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace zelvo {

// The whole code page, byte to character, for loops that convert many bytes.
const std::array<char16_t, 256>& AnsiCodePageTable();

// The character that `byte` stands for in the ANSI code page.
char16_t AnsiToUnicode(std::uint8_t byte);

// The byte that stands for `ch` in the ANSI code page, if it has one.
std::optional<std::uint8_t> UnicodeToAnsi(char16_t ch);

} // namespace zelvo
