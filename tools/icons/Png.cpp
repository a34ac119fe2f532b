#include "Png.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zelvo::icons {
namespace {

class BitWriter {
public:
    // Extra bits and block headers go least significant bit first.
    void Bits(unsigned value, int count) {
        for (int i = 0; i < count; ++i) {
            Bit((value >> i) & 1);
        }
    }
    // Huffman codes go most significant bit first.
    void Code(unsigned code, int length) {
        for (int i = length - 1; i >= 0; --i) {
            Bit((code >> i) & 1);
        }
    }
    std::vector<std::uint8_t> Finish() {
        if (used_ > 0) {
            bytes_.push_back(current_);
        }
        return std::move(bytes_);
    }

private:
    void Bit(unsigned bit) {
        current_ |= static_cast<std::uint8_t>(bit << used_);
        if (++used_ == 8) {
            bytes_.push_back(current_);
            current_ = 0;
            used_ = 0;
        }
    }
    std::vector<std::uint8_t> bytes_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

// The fixed literal/length code of deflate.
void PutSymbol(BitWriter& out, unsigned symbol) {
    if (symbol < 144) {
        out.Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        out.Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        out.Code(symbol - 256, 7);
    } else {
        out.Code(0xC0 + symbol - 280, 8);
    }
}

constexpr std::array<unsigned, 29> kLengthBase{3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                               15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                               67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<unsigned, 30> kDistanceBase{
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra{0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void PutMatch(BitWriter& out, unsigned length, unsigned distance) {
    std::size_t l = kLengthBase.size() - 1;
    while (kLengthBase[l] > length) {
        --l;
    }
    PutSymbol(out, 257 + static_cast<unsigned>(l));
    out.Bits(length - kLengthBase[l], kLengthExtra[l]);
    std::size_t d = kDistanceBase.size() - 1;
    while (kDistanceBase[d] > distance) {
        --d;
    }
    out.Code(static_cast<unsigned>(d), 5);
    out.Bits(distance - kDistanceBase[d], kDistanceExtra[d]);
}

// One final block with the fixed codes. The candidate distances are the only ones looked at.
std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data,
                                  const std::vector<unsigned>& distances) {
    constexpr unsigned kMaxMatch = 258;
    BitWriter out;
    out.Bits(1, 1); // the last block
    out.Bits(1, 2); // fixed codes
    std::size_t i = 0;
    while (i < data.size()) {
        unsigned bestLength = 0;
        unsigned bestDistance = 0;
        for (const unsigned distance : distances) {
            if (distance > i) {
                continue;
            }
            unsigned length = 0;
            while (length < kMaxMatch && i + length < data.size() &&
                   data[i + length] == data[i + length - distance]) {
                ++length;
            }
            if (length > bestLength) {
                bestLength = length;
                bestDistance = distance;
            }
        }
        if (bestLength >= 3) {
            PutMatch(out, bestLength, bestDistance);
            i += bestLength;
        } else {
            PutSymbol(out, data[i]);
            ++i;
        }
    }
    PutSymbol(out, 256); // end of block
    return out.Finish();
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
    }
    return ~crc;
}

std::uint32_t Adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutChunk(std::vector<std::uint8_t>& png, std::string_view type,
              const std::vector<std::uint8_t>& data) {
    PutBig32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    PutBig32(png, Crc32(png.data() + start, png.size() - start));
}

} // namespace

std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgba) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    // Each row starts with its filter type, 0: the bytes as they are.
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const auto row = rgba.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }
    std::vector<std::uint8_t> zlib{0x78, 0x01};
    const std::vector<std::uint8_t> deflated =
        Deflate(raw, {1, 4, static_cast<unsigned>(rowBytes + 1)});
    zlib.insert(zlib.end(), deflated.begin(), deflated.end());
    PutBig32(zlib, Adler32(raw));

    std::vector<std::uint8_t> header;
    PutBig32(header, static_cast<std::uint32_t>(width));
    PutBig32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits a channel, RGBA, no interlace

    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace zelvo::icons
