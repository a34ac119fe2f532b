// A PNG encoder for the build tools: 8-bit RGBA, compressed with deflate's fixed codes and
// matches of a pixel, a byte or a row back, which is all that an image of whole blocks needs.
#pragma once

#include <cstdint>
#include <vector>

namespace zelvo::icons {

// `rgba` holds width x height pixels, rows top to bottom, 4 bytes each in that order.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgba);

} // namespace zelvo::icons
