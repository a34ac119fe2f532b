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
    auto value = static_cast<std::uint32_t>(number > 0 ? number : 0);
    while (value > 1) {
        *--end = (value & 1) != 0 ? u'1' : u'0';
        value /= 2;
    }
    if (value == 1) {
        *--end = u'1';
    }
    return end;
}

// FromBinary for up to 31 digits, which always fit: no saturation to watch for.
std::int32_t FromShortBinary(std::u16string_view digits) {
    std::uint32_t total = 0;
    for (char16_t digit : digits) {
        total = total * 2 + (digit == u'1' ? 1 : 0);
    }
    return static_cast<std::int32_t>(total);
}

// FromBinary of exactly one byte's eight digits, in a fixed form that compilers unroll and
// vectorise: the decoder reads every byte of every line through it.
int FromByteDigits(std::u16string_view digits) {
    int total = 0;
    for (std::size_t k = 0; k < 8; ++k) {
        total |= (digits[k] == u'1' ? 1 : 0) << (7 - k);
    }
    return total;
}

} // namespace

std::u16string ToBinary(std::int32_t number, std::int32_t width) {
    std::array<char16_t, 32> buffer;
    char16_t* const end = buffer.data() + buffer.size();
    char16_t* const start = WriteDigitsBackwards(number, end);
    const auto length = static_cast<std::size_t>(end - start);
    const std::size_t size = width > 0 ? std::max(static_cast<std::size_t>(width), length) : length;
    std::u16string digits(size, u'0');
    std::copy(start, end, digits.begin() + static_cast<std::ptrdiff_t>(size - length));
    return digits;
}

std::int32_t FromBinary(std::u16string_view digits) {
    if (digits.size() < 32) {
        return FromShortBinary(digits);
    }
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

namespace {

// ToBinary(value, 6) of every symbol value, 0 to 63, made once by ToBinary itself; a
// character outside the alphabet (-1) has the six zeros of value 0.
using SymbolDigits = std::array<std::array<char16_t, kBitsPerSymbol>, 64>;
const SymbolDigits& DigitsOfSymbols() {
    static const SymbolDigits table = [] {
        SymbolDigits digits{};
        for (int value = 0; value < 64; ++value) {
            const std::u16string text = ToBinary(value, kBitsPerSymbol);
            std::copy(text.begin(), text.end(), digits[static_cast<std::size_t>(value)].begin());
        }
        return digits;
    }();
    return table;
}

} // namespace

std::u16string DecodeField(std::u16string_view field, std::uint8_t mask) {
    const std::size_t length = field.size();
    const std::size_t groups = (length + kGroupSymbols - 1) / kGroupSymbols;
    std::u16string output(groups * 3, u'\0');
    char16_t* next = output.data();
    const auto& codePage = AnsiCodePageTable();
    const SymbolDigits& symbolDigits = DigitsOfSymbols();
    std::size_t shortCount = 0;

    for (std::size_t start = 0; start < length; start += kGroupSymbols) {
        const std::size_t remaining = length - start;
        if (remaining <= kGroupSymbols) {
            // Last group: 1 when it is complete, up to 4 when it holds a single symbol.
            shortCount = kGroupSymbols + 1 - remaining;
        }
        const std::u16string_view group = field.substr(start, kGroupSymbols);

        std::array<char16_t, kGroupSymbols * kBitsPerSymbol> digits;
        for (std::size_t place = 0; place < kGroupSymbols; ++place) {
            // A missing symbol at the end of the field counts as value 0.
            const int value = place < group.size() ? SymbolValue(group[place]) : 0;
            const auto& six = symbolDigits[static_cast<std::size_t>(value < 0 ? 0 : value)];
            std::copy(six.begin(), six.end(), digits.begin() + place * kBitsPerSymbol);
        }
        const std::u16string_view bits(digits.data(), digits.size());
        for (std::size_t bit = 0; bit < bits.size(); bit += kBitsPerByte) {
            const int byte = FromByteDigits(bits.substr(bit, kBitsPerByte)) ^ mask;
            *next++ = codePage[static_cast<std::uint8_t>(byte)];
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
