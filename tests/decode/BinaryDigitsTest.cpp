#include "Converter.h"

#include <gtest/gtest.h>

#include <limits>

using zelvo::FromBinary;
using zelvo::ToBinary;

TEST(ToBinary, PadsToWidthWithoutCutting) {
    EXPECT_EQ(ToBinary(5, 6), u"000101");
    EXPECT_EQ(ToBinary(1, 6), u"000001");
    EXPECT_EQ(ToBinary(63, 6), u"111111");
    EXPECT_EQ(ToBinary(100, 6), u"1100100");
    EXPECT_EQ(ToBinary(2, 1), u"10");
}

TEST(ToBinary, ZeroAndNegativeGiveWidthZeros) {
    EXPECT_EQ(ToBinary(0, 6), u"000000");
    EXPECT_EQ(ToBinary(-1, 6), u"000000");
    EXPECT_EQ(ToBinary(std::numeric_limits<std::int32_t>::min(), 3), u"000");
    EXPECT_EQ(ToBinary(0, 0), u"");
    EXPECT_EQ(ToBinary(-7, -3), u"");
    EXPECT_EQ(ToBinary(6, -3), u"110");
}

TEST(ToBinary, LargestValue) {
    EXPECT_EQ(ToBinary(std::numeric_limits<std::int32_t>::max(), 0), std::u16string(31, u'1'));
}

TEST(FromBinary, ReadsDigitsMostSignificantFirst) {
    EXPECT_EQ(FromBinary(u"00000101"), 5);
    EXPECT_EQ(FromBinary(u"11111111"), 255);
    EXPECT_EQ(FromBinary(u""), 0);
    EXPECT_EQ(FromBinary(u"10000000"), 128);
}

TEST(FromBinary, OtherCharactersAreZeroDigitsThatHoldTheirPlace) {
    EXPECT_EQ(FromBinary(u"1x1"), 5);
    EXPECT_EQ(FromBinary(u"1 0"), 4);
    EXPECT_EQ(FromBinary(u"\u00b91"), 1);
}

TEST(FromBinary, RoundTripsEveryByteAndSymbol) {
    for (int value = 0; value < 256; ++value) {
        EXPECT_EQ(FromBinary(ToBinary(value, 8)), value) << value;
    }
}

TEST(FromBinary, SaturatesBeyondThirtyOneSignificantDigits) {
    const std::int32_t max = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(FromBinary(std::u16string(31, u'1')), max);
    EXPECT_EQ(FromBinary(u"1" + std::u16string(30, u'0')), 1 << 30);
    EXPECT_EQ(FromBinary(u"1" + std::u16string(31, u'0')), max);
    EXPECT_EQ(FromBinary(std::u16string(200, u'1')), max);
    // Leading zeros are not significant, however many there are.
    EXPECT_EQ(FromBinary(std::u16string(1000, u'0') + u"101"), 5);
}
