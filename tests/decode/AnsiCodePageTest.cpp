#include "decode/AnsiCodePage.h"

#include <gtest/gtest.h>

#include <set>

using zelvo::AnsiToUnicode;
using zelvo::UnicodeToAnsi;

#ifndef _WIN32
TEST(AnsiCodePage, IsWindows1252WithUnassignedBytesAsControls) {
    EXPECT_EQ(AnsiToUnicode('A'), u'A');
    EXPECT_EQ(AnsiToUnicode(0x00), u'\0');
    EXPECT_EQ(AnsiToUnicode(0x80), u'\u20ac');
    EXPECT_EQ(AnsiToUnicode(0x98), u'\u02dc');
    EXPECT_EQ(AnsiToUnicode(0x9F), u'\u0178');
    EXPECT_EQ(AnsiToUnicode(0xA0), u'\u00a0');
    EXPECT_EQ(AnsiToUnicode(0xFF), u'\u00ff');
    for (std::uint8_t unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(AnsiToUnicode(unassigned), char16_t{unassigned});
    }
}
#endif

TEST(AnsiCodePage, EveryByteHasItsOwnCharacterAndComesBack) {
    std::set<char16_t> seen;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char16_t ch = AnsiToUnicode(static_cast<std::uint8_t>(byte));
        EXPECT_TRUE(seen.insert(ch).second) << byte;
        EXPECT_EQ(UnicodeToAnsi(ch), byte);
    }
    EXPECT_FALSE(UnicodeToAnsi(u'\u4e2d'));
}
