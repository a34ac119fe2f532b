// Writes the Windows .ico from the layout table's 16x16 image, so that the table stays the one
// source of the picture: every size the shell asks for from 100 % to 400 % scaling, each the
// image at a whole multiple, centred, 32 bits with alpha; PNG at 256 pixels as Windows expects.
// Usage: make-ico OUTPUT.ico
#include "Png.h"
#include "ui/Layout.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Small icons at 100, 125, 150 and 200 %; large ones at 100, 125, 150 and 200 %, and 256.
constexpr std::array<int, 8> kSizes{16, 20, 24, 32, 40, 48, 64, 256};
constexpr int kFirstPngSize = 256;

void Put16(Bytes& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void Put32(Bytes& out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The pixel at (x, y) as red, green, blue, alpha.
std::array<std::uint8_t, 4> Pixel(int size, int x, int y) {
    const int entry = zelvo::CentredIconPaletteIndex(size, x, y);
    if (entry < 0) {
        return {0, 0, 0, 0};
    }
    const zelvo::Rgb& c = zelvo::kIconPalette[entry];
    return {c.red, c.green, c.blue, 0xFF};
}

Bytes PngImage(int size) {
    Bytes rgba;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const auto p = Pixel(size, x, y);
            rgba.insert(rgba.end(), p.begin(), p.end());
        }
    }
    return zelvo::icons::EncodePng(size, size, rgba);
}

// A BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask (1 bit, rows padded to 32 bits),
// set where the image is transparent, for the programs that ignore alpha.
Bytes BitmapImage(int size) {
    const unsigned maskRowBytes = (static_cast<unsigned>(size) + 31) / 32 * 4;
    const unsigned pixelBytes = static_cast<unsigned>(size * size * 4);
    Bytes out;
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(size));
    Put32(out, static_cast<unsigned>(size * 2)); // the colour and the mask halves together
    Put16(out, 1);                               // planes
    Put16(out, 32);                              // bits per pixel
    Put32(out, 0);                               // BI_RGB
    Put32(out, pixelBytes + maskRowBytes * static_cast<unsigned>(size));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const auto p = Pixel(size, x, y);
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(maskRowBytes, 0);
        for (int x = 0; x < size; ++x) {
            if (Pixel(size, x, y)[3] == 0) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    std::vector<Bytes> images;
    for (const int size : kSizes) {
        images.push_back(size >= kFirstPngSize ? PngImage(size) : BitmapImage(size));
    }

    constexpr unsigned kDirectoryBytes = 6;
    constexpr unsigned kEntryBytes = 16;
    Bytes ico;
    Put16(ico, 0); // reserved
    Put16(ico, 1); // type: icon
    Put16(ico, static_cast<unsigned>(images.size()));
    unsigned offset = kDirectoryBytes + kEntryBytes * static_cast<unsigned>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int size = kSizes[i];
        ico.push_back(static_cast<std::uint8_t>(size < 256 ? size : 0)); // 0 stands for 256
        ico.push_back(static_cast<std::uint8_t>(size < 256 ? size : 0));
        ico.push_back(0); // no palette
        ico.push_back(0);
        Put16(ico, 1);  // planes
        Put16(ico, 32); // bits per pixel
        Put32(ico, static_cast<unsigned>(images[i].size()));
        Put32(ico, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const Bytes& image : images) {
        ico.insert(ico.end(), image.begin(), image.end());
    }

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
