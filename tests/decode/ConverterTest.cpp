// The Converter: binary digit text, the field decoder and the cutting of a scan into fields.
#include "decode/AnsiCodePage.h"
#include "decode/Converter.h"
#include "tests/support/ScanEncoder.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using zelvo::DecodedScan;
using zelvo::DecodeField;
using zelvo::DecodeScan;
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

TEST(DecodeScan, SplitsThreeFieldsInOrder) {
    const auto scan = DecodeScan(u".ab.cd.ef.");
    ASSERT_TRUE(scan);
    // "ab" is 000000 000001, whose first byte 0x00 masked is "Z"; "cd" gives 0x08, "R";
    // "ef" gives 0x10, "J".
    EXPECT_EQ(scan->serial, u"Z");
    EXPECT_EQ(scan->codeType, u"R");
    EXPECT_EQ(scan->code, u"J");
}

TEST(DecodeScan, LeadingCharacterAndTrailingTextAreIgnored) {
    const auto plain = DecodeScan(u".ab.cd.ef.");
    EXPECT_EQ(DecodeScan(u"Xab.cd.ef."), plain);
    EXPECT_EQ(DecodeScan(u"aab.cd.ef."), plain);
    EXPECT_EQ(DecodeScan(u".ab.cd.ef.gh."), plain);
    EXPECT_EQ(DecodeScan(u".ab.cd.ef.gh"), plain);
}

TEST(DecodeScan, EmptyAndOneSymbolFieldsDecodeToNothing) {
    const DecodedScan empty{};
    EXPECT_EQ(DecodeScan(u"x..."), empty);
    EXPECT_EQ(DecodeScan(u".a.b.c."), empty);
}

TEST(DecodeScan, FewerThanThreeEndedFieldsGiveNoDecoding) {
    EXPECT_FALSE(DecodeScan(u"."));
    EXPECT_FALSE(DecodeScan(u""));
    EXPECT_FALSE(DecodeScan(u".ab.cd"));
    EXPECT_FALSE(DecodeScan(u".ab.cd.ef"));
    EXPECT_FALSE(DecodeScan(u"ab.cd.ef"));        // the first "." is the leading character
    EXPECT_FALSE(DecodeScan(u".ab\uff0ecd.ef.")); // only an exact "." ends a field
}

TEST(DecodeScan, SurrogatePairCountsAsTwoUnits) {
    // The leading character is one 16-bit unit: the second half of the pair stays in the
    // serial field, where it counts as a zero symbol.
    EXPECT_EQ(DecodeScan(u"\U0001F600aaa.cd.ef.")->serial, u"ZZZ");
}

TEST(DecodeScan, DecodesARealisticScan) {
    const auto scan =
        DecodeScan(zelvo::test::EncodeScan("000000002101482501", "IBN", "9780131103627"));
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->serial, u"000000002101482501");
    EXPECT_EQ(scan->codeType, u"IBN");
    EXPECT_EQ(scan->code, u"9780131103627");
}
