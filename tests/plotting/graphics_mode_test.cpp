// Entering and leaving graphics mode, the font across pages, printf-style text and text extents (the key wait of a
// window page, which clicks do not end, is held by the case window/close_button).
#include "plot/graphics_mode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "plot_fixture.h"

namespace
{

using namespace plot_test;

constexpr const char* digits_font = TEST_DATA_DIR "/plotting/digits.fna";

// Each test enters graphics mode itself, from the program's start state.
class GraphicsMode : public PlotPage
{
protected:
    void SetUp() override
    {
        clean_state();
        in_memory = 1;
    }
};

std::array<int, 2> page_size()
{
    return {GrScreenContext()->gc_xmax + 1, GrScreenContext()->gc_ymax + 1};
}

TEST_F(GraphicsMode, PageSizeFollowsTheRowAndTheLegendColumn)
{
    const GrGraphicsMode before = GrDriverInfo->mcode;
    entergrmode(3); // the legend column starts at 50: the z legend column widens the page
    EXPECT_EQ(page_size(), (std::array{690, 480}));
    EXPECT_EQ(GrDriverInfo->mcode, GR_width_height_color_graphics);
    EXPECT_EQ(GrKeyRead(), ' ') << "a memory page has no keys to wait for: it moves on to the next file";
    exitgrmode();
    EXPECT_EQ(GrDriverInfo->mcode, before);

    Zscale.legend_width = 0;
    whc[8][0] = 320;
    whc[8][1] = 200;
    // The placeholder row and indices past the table's end both stand for row 3.
    for (auto [vga, w, h] : {std::array{5, 1024, 768}, {9, 640, 480}, {12, 640, 480}, {-1, 640, 480}, {8, 320, 200}}) {
        entergrmode(vga);
        EXPECT_EQ(page_size(), (std::array{w, h})) << vga;
        exitgrmode();
    }

    // Size 0 enters nothing, and leaving twice or without entering keeps the mode found.
    ASSERT_EQ(GrSetDriver("memory"), 1);
    GrSetMode(GR_width_height_color_graphics, 40, 30, 256);
    entergrmode(0);
    exitgrmode();
    exitgrmode();
    EXPECT_EQ(GrDriverInfo->mcode, GR_width_height_color_graphics);
    EXPECT_EQ(page_size(), (std::array{40, 30}));
    GrPlot(39, 29, 5); // still a graphics mode: drawing does not end the run
    EXPECT_EQ(page_pixel(39, 29), 5u);
    GrSetMode(GR_default_text);
}

// A missing font and the colour slots show in the case pictures (picture/font_missing_default,
// picture/colour_same_as_background and the golden colour pages); here, the font's life across pages.
TEST_F(GraphicsMode, FontFromTheEnvironmentIsLoadedForEachPage)
{
    setenv(ENVFONT, digits_font, 1);
    testing::internal::CaptureStdout();
    entergrmode(3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(font, &GrFont_PC8x16);
    EXPECT_EQ(font->h.height, 6u);
    exitgrmode();
    EXPECT_EQ(font, &GrFont_PC8x16); // released on exit, loaded again on the next entry
    entergrmode(3);
    EXPECT_EQ(font->h.height, 6u);
    // Entering again without leaving reloads the font and still returns to the mode found first.
    const GrGraphicsMode first = oldmode;
    entergrmode(4);
    EXPECT_EQ(font->h.height, 6u);
    EXPECT_EQ(oldmode, first);
    exitgrmode();
    EXPECT_EQ(GrDriverInfo->mcode, first);
    EXPECT_EQ(font, &GrFont_PC8x16);
}

// The smallest box {left, top, right, bottom} holding every pixel of the page not of value 0.
std::array<int, 4> ink_box()
{
    std::array<int, 4> box{1 << 30, 1 << 30, -1, -1};
    for (int y = 0; y <= GrScreenContext()->gc_ymax; ++y)
        for (int x = 0; x <= GrScreenContext()->gc_xmax; ++x)
            if (page_pixel(x, y) != 0)
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    return box;
}

TEST_F(GraphicsMode, FormattedTextIsDrawnAtItsPositionAndCut)
{
    entergrmode(3);
    GrTextOption opt = text_options(&GrFont_PC8x16, 7);
    // The built-in "A" has ink in columns 0..6 and rows 2..11 of its 8 x 16 cell.
    EXPECT_EQ(gprintfxy(200, 100, &opt, "%c", 'A'), 1);
    EXPECT_EQ(ink_box(), (std::array{200, 102, 206, 111}));
    GrClearScreen(0);
    EXPECT_EQ(gprintfxy(200, 100, &opt, "%s%d", "A", 42), 3);
    EXPECT_EQ(ink_box()[2], 200 + 2 * 8 + 6);
    // Positions beyond the int range are clipped, not wrapped (2^32 + 10 would wrap to 10); an empty text draws
    // nothing.
    GrClearScreen(0);
    EXPECT_EQ(gprintfxy(4294967306L, 4294967316L, &opt, "A"), 1);
    EXPECT_EQ(gprintfxy(10, 10, &opt, "%s", ""), 0);
    EXPECT_EQ(drawn_pixels(), 0);

    // 511 "A" then 89 "B": placed so that character 511 lands on columns 0..7, the cut one would follow it.
    const std::string text = std::string(511, 'A') + std::string(89, 'B');
    EXPECT_EQ(gprintfxy(-510L * 8, 0, &opt, "%s", text.c_str()), 511);
    EXPECT_EQ(ink_box(), (std::array{0, 2, 6, 11})) << "the cut character would follow the last one";
}

// The extents of the built-in font, across and upward, size every label and title of the case pictures.
TEST_F(GraphicsMode, ExtentsFollowFontAndDirection)
{
    EXPECT_EQ(GrStringWidth_("abc", nullptr), 24u);
    GrFont* digits = GrLoadFont(digits_font);
    ASSERT_NE(digits, nullptr);
    GrTextOption opt = text_options(digits, 1);
    EXPECT_EQ(GrStringWidth_("012", &opt), 3u + 2u + 5u);
    EXPECT_EQ(GrStringWidth_("0129", &opt), 3u + 2u + 5u + 4u); // a code outside the font counts the font width
    opt.txo_direct = 1;
    EXPECT_EQ(GrStringHeight_("21", &opt), 7u);
    EXPECT_EQ(GrStringWidth_("21", &opt), 6u);
    GrUnloadFont(digits);
}

} // namespace
