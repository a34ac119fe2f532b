#include "tools/zelvo-decode/Utf8.h"

namespace zelvo {
namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

char16_t* PutUtf16(char16_t* out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        *out++ = static_cast<char16_t>(codePoint);
    } else {
        codePoint -= 0x10000;
        *out++ = static_cast<char16_t>(0xD800 + (codePoint >> 10));
        *out++ = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
    return out;
}

} // namespace

std::variant<std::u16string, Utf8Error> Utf8ToUtf16(std::string_view bytes) {
    // No character takes fewer bytes than UTF-16 units, so the bytes' count is room enough.
    std::u16string out(bytes.size(), u'\0');
    char16_t* next = out.data();
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            *next++ = lead;
            ++i;
            continue;
        }
        std::size_t extra = 0;
        char32_t codePoint = 0;
        char32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) {
            extra = 1, codePoint = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, codePoint = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, codePoint = lead & 0x07, minimum = 0x10000;
        } else {
            return Utf8Error{i};
        }
        if (bytes.size() - i <= extra) {
            return Utf8Error{i};
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto continuation = static_cast<unsigned char>(bytes[i + k]);
            if (!IsContinuation(continuation)) {
                return Utf8Error{i};
            }
            codePoint = (codePoint << 6) | (continuation & 0x3F);
        }
        const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) {
            return Utf8Error{i};
        }
        next = PutUtf16(next, codePoint);
        i += extra + 1;
    }
    out.resize(static_cast<std::size_t>(next - out.data()));
    return out;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

} // namespace zelvo
