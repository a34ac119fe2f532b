// Test helper: the scanner's side of the encoding, written independently of the decoder
// with integer bit operations, so that decoding what it encodes checks the decoder.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace zelvo::test {

inline std::u16string EncodeField(const std::vector<std::uint8_t>& bytes,
                                  std::uint8_t mask = 0x5A) {
    static const char16_t* alphabet =
        u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-";
    std::u16string field;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t bits = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            bits = (bits << 8) | (k < n ? (bytes[i + k] ^ mask) : 0u);
        }
        // n bytes need n + 1 symbols to carry all their bits.
        for (std::size_t s = 0; s < n + 1; ++s) {
            field.push_back(alphabet[(bits >> (18 - 6 * s)) & 0x3F]);
        }
    }
    return field;
}

inline std::u16string EncodeAscii(const std::string& text, std::uint8_t mask = 0x5A) {
    return EncodeField(std::vector<std::uint8_t>(text.begin(), text.end()), mask);
}

inline std::u16string EncodeScan(const std::string& serial, const std::string& type,
                                 const std::string& code, std::uint8_t mask = 0x5A) {
    std::u16string line = u".";
    for (const std::string* field : {&serial, &type, &code}) {
        line.append(EncodeAscii(*field, mask)).push_back(u'.');
    }
    return line;
}

} // namespace zelvo::test
