#include "tools/zelvo-decode/Utf8.h"

#include <gtest/gtest.h>

using zelvo::Utf8Error;
using zelvo::Utf8ToUtf16;

namespace {

std::size_t ErrorOffset(std::string_view bytes) {
    const auto result = Utf8ToUtf16(bytes);
    const auto* error = std::get_if<Utf8Error>(&result);
    return error ? error->offset : std::string_view::npos;
}

} // namespace

TEST(Utf8ToUtf16, DecodesEveryLengthOfSequence) {
    const auto result = Utf8ToUtf16("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    ASSERT_TRUE(std::holds_alternative<std::u16string>(result));
    EXPECT_EQ(std::get<std::u16string>(result), u"a\u00e9\u20ac\U0001F600");
}

TEST(Utf8ToUtf16, RejectsMalformedInputAtTheRightByte) {
    EXPECT_EQ(ErrorOffset("ab\xFF"), 2u);           // never a UTF-8 byte
    EXPECT_EQ(ErrorOffset("a\x80"), 1u);            // stray continuation
    EXPECT_EQ(ErrorOffset("a\xC3"), 1u);            // truncated at the end
    EXPECT_EQ(ErrorOffset("\xE2\x82z"), 0u);        // truncated before another character
    EXPECT_EQ(ErrorOffset("\xC0\xAF"), 0u);         // overlong "/"
    EXPECT_EQ(ErrorOffset("\xE0\x80\xAE"), 0u);     // overlong "."
    EXPECT_EQ(ErrorOffset("\xED\xA0\x80"), 0u);     // surrogate
    EXPECT_EQ(ErrorOffset("\xF4\x90\x80\x80"), 0u); // beyond U+10FFFF
    EXPECT_EQ(ErrorOffset("ok \xF4\x8F\xBF\xBF"), std::string_view::npos);
}

TEST(AppendUtf8, RoundTripsEveryPlane) {
    for (char32_t c :
         {U'\0', U'A', U'\u00e9', U'\u07ff', U'\u0800', U'\uffff', U'\U00010000', U'\U0010FFFF'}) {
        std::string bytes;
        zelvo::AppendUtf8(bytes, c);
        const auto back = Utf8ToUtf16(bytes);
        ASSERT_TRUE(std::holds_alternative<std::u16string>(back)) << static_cast<unsigned>(c);
        std::u32string wide;
        const auto& units = std::get<std::u16string>(back);
        wide = units.size() == 2
                   ? std::u32string(1, 0x10000 + ((units[0] - 0xD800) << 10) + (units[1] - 0xDC00))
                   : std::u32string(1, units[0]);
        EXPECT_EQ(wide[0], c);
    }
}
