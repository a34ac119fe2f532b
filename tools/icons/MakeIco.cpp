// Writes the window's icon as a .ico file (16x16, 4 bits per pixel, standard palette)
// from the layout table, so the table stays the one source of the image.
// Usage: make-ico OUTPUT.ico
#include "ui/Layout.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>& out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    using namespace zelvo;
    constexpr unsigned kColours = 16;
    constexpr unsigned kXorRowBytes = kIconSize / 2; // 4 bits per pixel
    constexpr unsigned kAndRowBytes = 4;             // 1 bit, padded to 32 bits
    constexpr unsigned kHeaderBytes = 40;
    constexpr unsigned kImageBytes =
        kHeaderBytes + kColours * 4 + kIconSize * kXorRowBytes + kIconSize * kAndRowBytes;

    std::vector<std::uint8_t> ico;
    Put16(ico, 0); // reserved
    Put16(ico, 1); // type: icon
    Put16(ico, 1); // one image
    ico.push_back(kIconSize);
    ico.push_back(kIconSize);
    ico.push_back(kColours);
    ico.push_back(0);
    Put16(ico, 1); // planes
    Put16(ico, 4); // bits per pixel
    Put32(ico, kImageBytes);
    Put32(ico, 6 + 16); // offset of the image

    // BITMAPINFOHEADER: the height counts the colour and the mask halves together.
    Put32(ico, kHeaderBytes);
    Put32(ico, kIconSize);
    Put32(ico, kIconSize * 2);
    Put16(ico, 1);
    Put16(ico, 4);
    Put32(ico, 0);
    Put32(ico, kIconSize * (kXorRowBytes + kAndRowBytes));
    Put32(ico, 0);
    Put32(ico, 0);
    Put32(ico, kColours);
    Put32(ico, 0);
    for (const Rgb& c : kIconPalette) {
        ico.push_back(c.blue);
        ico.push_back(c.green);
        ico.push_back(c.red);
        ico.push_back(0);
    }
    // Rows bottom-up, two pixels a byte, the left one in the high nibble.
    for (int y = kIconSize - 1; y >= 0; --y) {
        for (int x = 0; x < kIconSize; x += 2) {
            const int left = kIconRows[y][x] - '0';
            const int right = kIconRows[y][x + 1] - '0';
            ico.push_back(static_cast<std::uint8_t>(left << 4 | right));
        }
    }
    // An empty mask: every pixel opaque.
    ico.insert(ico.end(), kIconSize * kAndRowBytes, 0);

    // A half-written icon must fail the build, not be linked into the program.
    std::ofstream file(argv[1], std::ios::binary);
    file.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "make-ico: cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
