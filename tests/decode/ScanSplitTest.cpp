#include "Converter.h"
#include "ScanEncoder.h"

#include <gtest/gtest.h>

using zelvo::DecodedScan;
using zelvo::DecodeField;
using zelvo::DecodeScan;

TEST(DecodeScan, SplitsThreeFieldsInOrder) {
    const auto scan = DecodeScan(u".ab.cd.ef.");
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->serial, DecodeField(u"ab"));
    EXPECT_EQ(scan->codeType, DecodeField(u"cd"));
    EXPECT_EQ(scan->code, DecodeField(u"ef"));
    EXPECT_NE(scan->serial, scan->codeType);
    EXPECT_EQ(scan->serial.size(), 1u);
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
