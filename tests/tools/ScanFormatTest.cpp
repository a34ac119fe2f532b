#include "tools/zelvo-decode/ScanFormat.h"

#include <gtest/gtest.h>

using zelvo::DecodedScan;
using zelvo::OutputFormat;

namespace {

std::string FormatScan(const DecodedScan& scan, OutputFormat format) {
    std::string line = "kept ";
    zelvo::AppendScan(line, scan, format);
    EXPECT_EQ(line.rfind("kept ", 0), 0u) << "what the buffer held stays";
    return line.substr(5);
}

} // namespace

TEST(FormatScan, TabsSeparateFieldsAndEscapeControls) {
    const DecodedScan scan{u"a\\b", u"t\tn\nr\r",
                           std::u16string(u"\0\x1f\x7f\x81\x9f\xa0\u20ac", 7)};
    EXPECT_EQ(FormatScan(scan, OutputFormat::Tabs),
              "a\\\\b\tt\\tn\\nr\\r\t\\x00\\x1F\\x7F\\x81\\x9F\xC2\xA0\xE2\x82\xAC\n");
}

TEST(FormatScan, JsonEscapesAsTheStandardSays) {
    const DecodedScan scan{u"q\"b\\", std::u16string(u"\0\b\f\n\r\t\x1f", 7), u"\u017e\x7f"};
    EXPECT_EQ(FormatScan(scan, OutputFormat::Json),
              "{\"serial\": \"q\\\"b\\\\\", \"type\": \"\\u0000\\b\\f\\n\\r\\t\\u001f\", "
              "\"code\": \"\xC5\xBE\x7F\"}\n");
}

TEST(FormatScan, EmptyFieldsKeepTheirPlaces) {
    EXPECT_EQ(FormatScan({}, OutputFormat::Tabs), "\t\t\n");
    EXPECT_EQ(FormatScan({}, OutputFormat::Json),
              "{\"serial\": \"\", \"type\": \"\", \"code\": \"\"}\n");
}
