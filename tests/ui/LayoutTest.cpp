#include "ui/Layout.h"
#include "Version.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using zelvo::ClientPixelRect;
using zelvo::ControlId;
using zelvo::PixelRect;

TEST(Layout, TableIsIndexedByIdAndTabOrderHasNoGaps) {
    std::set<int> indexes;
    for (std::size_t i = 0; i < zelvo::kControls.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(zelvo::kControls[i].id), i);
        indexes.insert(zelvo::kControls[i].tabIndex);
    }
    EXPECT_EQ(indexes.size(), zelvo::kControlCount);
    EXPECT_EQ(*indexes.begin(), 0);
    EXPECT_EQ(*indexes.rbegin(), static_cast<int>(zelvo::kControlCount) - 1);
    EXPECT_EQ(zelvo::ControlsInTabOrder().front()->id, ControlId::InputText);
    EXPECT_EQ(zelvo::ControlsInTabOrder().back()->id, ControlId::HideButton);
}

TEST(Layout, CaptionCarriesTheProgramVersion) {
    EXPECT_EQ(zelvo::kWindow.caption, "Zelvo - " + std::string(zelvo::kVersion));
}

TEST(Layout, ControlsInsideTheFrameSitAtItsOffset) {
    EXPECT_EQ(ClientPixelRect(ControlId::SerialText, 96), (PixelRect{96, 88, 265, 19}));
    EXPECT_EQ(ClientPixelRect(ControlId::CodeLabel, 120), (PixelRect{20, 190, 91, 21}));
    EXPECT_EQ(ClientPixelRect(ControlId::HideButton, 96), (PixelRect{376, 144, 113, 33}));
}

TEST(Layout, BoxesAndButtonsStayApartInsideTheClientArea) {
    for (int dpi : {96, 120, 144}) {
        const int width = zelvo::TwipsToPixels(zelvo::kWindow.clientWidthTwips, dpi);
        const int height = zelvo::TwipsToPixels(zelvo::kWindow.clientHeightTwips, dpi);
        for (const auto& a : zelvo::kControls) {
            const PixelRect ra = ClientPixelRect(a.id, dpi);
            EXPECT_LE(ra.left + ra.width, width) << a.name;
            EXPECT_LE(ra.top + ra.height, height) << a.name;
            for (const auto& b : zelvo::kControls) {
                // The frame holds its controls, and the input label's box reaches 15 twips into
                // the input box under it; labels draw only their text, so that is harmless.
                const auto skipped = [](const zelvo::ControlRow& c) {
                    return c.kind == zelvo::ControlKind::Frame ||
                           c.kind == zelvo::ControlKind::Label;
                };
                if (&a == &b || skipped(a) || skipped(b)) {
                    continue;
                }
                const PixelRect rb = ClientPixelRect(b.id, dpi);
                const bool apart = ra.left + ra.width <= rb.left || rb.left + rb.width <= ra.left ||
                                   ra.top + ra.height <= rb.top || rb.top + rb.height <= ra.top;
                EXPECT_TRUE(apart) << a.name << " and " << b.name << " at " << dpi;
            }
        }
    }
}

TEST(Layout, TwipsBecomePixelsAtTheScreensDpi) {
    EXPECT_EQ(zelvo::TwipsToPixels(7485, 96), 499);
    EXPECT_EQ(zelvo::TwipsToPixels(2865, 96), 191);
    EXPECT_EQ(zelvo::TwipsToPixels(7485, 120), 624);
    EXPECT_EQ(zelvo::TwipsToPixels(2865, 120), 239);
}

TEST(Layout, IconUsesDarkBlueAndLightGreyOnly) {
    int blue = 0;
    for (int y = 0; y < zelvo::kIconSize; ++y) {
        ASSERT_EQ(zelvo::kIconRows[y].size(), static_cast<std::size_t>(zelvo::kIconSize));
        for (int x = 0; x < zelvo::kIconSize; ++x) {
            const int entry = zelvo::IconPaletteIndex(x, y);
            ASSERT_TRUE(entry == 4 || entry == 7);
            blue += entry == 4;
        }
    }
    EXPECT_EQ(zelvo::kIconPalette[4], (zelvo::Rgb{0, 0, 128}));
    EXPECT_EQ(zelvo::kIconPalette[7], (zelvo::Rgb{192, 192, 192}));
    EXPECT_GT(blue, 128);
}

TEST(Layout, IconGrowsByWholeMultiplesCentredInLargerSquares) {
    using zelvo::CentredIconPaletteIndex;
    using zelvo::IconPaletteIndex;
    // 24: the image once, 4 transparent pixels around it.
    EXPECT_EQ(CentredIconPaletteIndex(24, 3, 10), -1);
    EXPECT_EQ(CentredIconPaletteIndex(24, 4, 5), IconPaletteIndex(0, 1));
    EXPECT_EQ(CentredIconPaletteIndex(24, 19, 19), IconPaletteIndex(15, 15));
    EXPECT_EQ(CentredIconPaletteIndex(24, 20, 19), -1);
    // 40: twice, 4 pixels around; 32 and 256: whole, no margin.
    EXPECT_EQ(CentredIconPaletteIndex(40, 4 + 2 * 5 + 1, 4 + 2 * 1), IconPaletteIndex(5, 1));
    EXPECT_EQ(CentredIconPaletteIndex(40, 36, 20), -1);
    EXPECT_EQ(CentredIconPaletteIndex(32, 31, 3), IconPaletteIndex(15, 1));
    EXPECT_EQ(CentredIconPaletteIndex(256, 16 * 3 + 15, 16 * 2), IconPaletteIndex(3, 2));
}
