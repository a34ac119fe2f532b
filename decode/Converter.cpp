#include "decode/Converter.h"

#include "decode/AnsiCodePage.h"

#include <algorithm>
#include <array>
#include <limits>

namespace zelvo {
namespace {

constexpr std::u16string_view kAlphabet =
    u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-";
constexpr std::size_t kGroupSymbols = 4;
constexpr int kBitsPerSymbol = 6;
constexpr int kBitsPerByte = 8;

// Value of a symbol: its place in the alphabet, or -1 for a character the alphabet lacks.
// A table instead of a search of the alphabet keeps very long lines linear in their length.
constexpr std::array<std::int8_t, 128> MakeSymbolValues() {
    std::array<std::int8_t, 128> values{};
    values.fill(-1);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        values[kAlphabet[i]] = static_cast<std::int8_t>(i);
    }
    return values;
}
constexpr auto kSymbolValues = MakeSymbolValues();

int SymbolValue(char16_t symbol) {
    return symbol < 128 ? kSymbolValues[symbol] : -1;
}

// The digits of `number` without leading zeros, written backwards from `end`; returns where
// they start. A signed 32-bit number has at most 31 of them.
char16_t* WriteDigitsBackwards(std::int32_t number, char16_t* end) {
    while (number > 1) {
        *--end = number % 2 == 1 ? u'1' : u'0';
        number /= 2;
    }
    if (number == 1) {
        *--end = u'1';
    }
    return end;
}

// ToBinary for widths of at most 31, into a buffer of the caller's: no allocation, which
// matters once for every symbol of every line.
std::u16string_view ToBinaryInto(std::int32_t number, std::int32_t width,
                                 std::array<char16_t, 32>& buffer) {
    char16_t* const end = buffer.data() + buffer.size();
    char16_t* start = WriteDigitsBackwards(number, end);
    while (end - start < width) {
        *--start = u'0';
    }
    return {start, static_cast<std::size_t>(end - start)};
}

} // namespace

std::u16string ToBinary(std::int32_t number, std::int32_t width) {
    std::array<char16_t, 32> buffer;
    char16_t* const end = buffer.data() + buffer.size();
    char16_t* const start = WriteDigitsBackwards(number, end);
    const auto length = static_cast<std::int64_t>(end - start);
    std::u16string digits;
    if (width > length) {
        digits.assign(static_cast<std::size_t>(width - length), u'0');
    }
    digits.append(start, end);
    return digits;
}

std::int32_t FromBinary(std::u16string_view digits) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t total = 0;
    for (char16_t digit : digits) {
        total = total * 2 + (digit == u'1' ? 1 : 0);
        if (total > kMax) {
            return static_cast<std::int32_t>(kMax);
        }
    }
    return static_cast<std::int32_t>(total);
}

std::u16string DecodeField(std::u16string_view field, std::uint8_t mask) {
    const std::size_t length = field.size();
    std::u16string output;
    output.reserve(length / kGroupSymbols * 3 + 3);
    std::size_t shortCount = 0;

    for (std::size_t start = 0; start < length; start += kGroupSymbols) {
        const std::size_t remaining = length - start;
        if (remaining <= kGroupSymbols) {
            // Last group: 1 when it is complete, up to 4 when it holds a single symbol.
            shortCount = kGroupSymbols + 1 - remaining;
        }
        const std::u16string_view group = field.substr(start, kGroupSymbols);

        std::array<char16_t, kGroupSymbols * kBitsPerSymbol> digits;
        std::array<char16_t, 32> symbolDigits;
        for (std::size_t place = 0; place < kGroupSymbols; ++place) {
            // A missing symbol at the end of the field counts as value 0.
            const int value = place < group.size() ? SymbolValue(group[place]) : 0;
            const std::u16string_view six = ToBinaryInto(value, kBitsPerSymbol, symbolDigits);
            std::copy(six.begin(), six.end(), digits.begin() + place * kBitsPerSymbol);
        }
        const std::u16string_view bits(digits.data(), digits.size());
        for (std::size_t bit = 0; bit < bits.size(); bit += kBitsPerByte) {
            const int byte = FromBinary(bits.substr(bit, kBitsPerByte)) ^ mask;
            output.push_back(AnsiToUnicode(static_cast<std::uint8_t>(byte)));
        }
    }

    // Drop the characters whose bits the symbols of the last group do not fill completely.
    const std::size_t bitsShort = shortCount * kBitsPerSymbol;
    const std::size_t dropped = (bitsShort - bitsShort % kBitsPerByte) / kBitsPerByte;
    // The last group always added three characters, so there are enough to drop.
    output.erase(output.size() >= dropped ? output.size() - dropped : 0);
    return output;
}

std::optional<DecodedScan> DecodeScan(std::u16string_view line, std::uint8_t mask) {
    std::u16string_view rest = line.empty() ? line : line.substr(1);
    std::array<std::u16string_view, 3> fields;
    for (auto& field : fields) {
        const std::size_t end = rest.find(u'.');
        if (end == std::u16string_view::npos) {
            return std::nullopt;
        }
        field = rest.substr(0, end);
        rest = rest.substr(end + 1);
    }
    DecodedScan scan;
    scan.serial = DecodeField(fields[0], mask);
    scan.codeType = DecodeField(fields[1], mask);
    scan.code = DecodeField(fields[2], mask);
    return scan;
}

} // namespace zelvo
