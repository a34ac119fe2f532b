// Converter: turns one line of CueCat scanner output into its three decoded strings.
// Standard C++ (only the ANSI code page asks Windows, in AnsiCodePage.cpp); strings are
// UTF-16, lengths and positions count 16-bit units.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelvo {

// Binary digit text for `number`, padded on the left with "0" to at least `width` digits.
// Numbers of 0 or less give `width` zeros; a longer representation is never cut.
std::u16string ToBinary(std::int32_t number, std::int32_t width);

// Value of `digits` read as a binary number, first digit most significant. Any character
// other than "1" counts as a zero digit. A value that does not fit a signed 32-bit integer
// (more than 31 significant digits) saturates at INT32_MAX instead of overflowing.
std::int32_t FromBinary(std::u16string_view digits);

// The byte every decoded byte is masked with by the scanners the window is made for.
inline constexpr std::uint8_t kDefaultMask = 0x5A;

// Decodes one field: every four symbols of the 64-symbol alphabet carry three bytes masked
// with `mask`. A field of L units always gives floor(3L/4) characters; characters outside
// the alphabet count as value 0.
std::u16string DecodeField(std::u16string_view field, std::uint8_t mask = kDefaultMask);

struct DecodedScan {
    std::u16string serial;
    std::u16string codeType;
    std::u16string code;

    friend bool operator==(const DecodedScan&, const DecodedScan&) = default;
};

// Drops the leading character, cuts three fields each ended by "." and decodes them.
// Returns nothing when fewer than three "." follow the leading character.
std::optional<DecodedScan> DecodeScan(std::u16string_view line, std::uint8_t mask = kDefaultMask);

} // namespace zelvo
