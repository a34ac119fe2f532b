#include "AnsiCodePage.h"
#include "Converter.h"
#include "ScanEncoder.h"

#include <gtest/gtest.h>

#include <random>

using zelvo::DecodeField;

TEST(DecodeField, WorkedGroupExample) {
    // "bcde" carries the bytes 4, 32 and 196; masked with 0x5A they are 0x5E, 0x7A and 0x9E,
    // the last one a Windows-1252 character outside Latin-1.
    EXPECT_EQ(DecodeField(u"bcde"), u"^z\u017e");
}

TEST(DecodeField, LengthIsThreeQuartersRoundedDown) {
    const std::size_t expected[] = {0, 0, 1, 2, 3, 3, 4, 5, 6, 6, 7};
    for (std::size_t length = 0; length < std::size(expected); ++length) {
        EXPECT_EQ(DecodeField(std::u16string(length, u'b')).size(), expected[length]) << length;
    }
}

TEST(DecodeField, CharactersOutsideTheAlphabetCountAsZero) {
    EXPECT_EQ(DecodeField(u"aaaa"), u"ZZZ");
    EXPECT_EQ(DecodeField(u"a a."), u"ZZZ");
    EXPECT_EQ(DecodeField(u"a!!!"), u"ZZZ");
    EXPECT_EQ(DecodeField(u"/=aa"), u"ZZZ");
    EXPECT_EQ(DecodeField(u"\u00e9\U0001F600a"), u"ZZZ");
}

TEST(DecodeField, AlphabetIsCaseSensitiveAndEndsWithPlusMinus) {
    // "A" is 26: 011010 00... gives 0x68, masked 0x32.
    EXPECT_EQ(DecodeField(u"Aaaa"), u"2ZZ");
    // "+" is 62 and "-" is 63: 111110 111111 gives the bytes 0xFB and 0xF0.
    EXPECT_EQ(DecodeField(u"+-aa"), u"\u00a1\u00aaZ");
}

TEST(DecodeField, ByteMaskedToZeroIsKept) {
    // "w" (22) then "G" (32) carry 0x5A, which the mask turns into 0.
    EXPECT_EQ(DecodeField(u"wG"), std::u16string(1, u'\0'));
    EXPECT_EQ(DecodeField(u"wGwG").size(), 3u);
}

TEST(DecodeField, DecodesWhatTheScannerEncodes) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> bytes(round % 23);
        for (auto& byte : bytes) {
            byte = static_cast<std::uint8_t>(random());
        }
        const std::u16string decoded = DecodeField(zelvo::test::EncodeField(bytes));
        ASSERT_EQ(decoded.size(), bytes.size());
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            EXPECT_EQ(decoded[i], zelvo::AnsiToUnicode(bytes[i])) << i << " of round " << round;
        }
    }
}
