// Strict UTF-8 <-> UTF-16 conversion for the batch decoder's input and output.
// Overlong forms, surrogates and values beyond U+10FFFF are rejected, never guessed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace zelvo {

struct Utf8Error {
    std::size_t offset; // byte offset of the first byte that is not valid UTF-8
};

std::variant<std::u16string, Utf8Error> Utf8ToUtf16(std::string_view bytes);

void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace zelvo
