// Entering and leaving graphics mode, the colour slots, the font, printf-style text and text extents.
#include "graphics_mode.h"

#include <gtest/gtest.h>

#include <string>

#include "plot_fixture.h"
#include "sdl2_window.h"

#include <SDL.h>

namespace
{

using plot_test::clean_state;
using plot_test::drawn_pixels;
using plot_test::page_pixel;

class GraphicsMode : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clean_state();
        in_memory = 1;
    }
    void TearDown() override { clean_state(); }
};

TEST_F(GraphicsMode, PageSizeFollowsTheRowAndTheLegendColumn)
{
    const GrGraphicsMode before = GrDriverInfo->mcode;
    entergrmode(3); // scalew starts at 50: the z legend column widens the page
    EXPECT_EQ(GrScreenContext()->gc_xmax + 1, 690);
    EXPECT_EQ(GrScreenContext()->gc_ymax + 1, 480);
    EXPECT_EQ(GrDriverInfo->mcode, GR_width_height_color_graphics);
    EXPECT_EQ(page_pixel(689, 479), 0u);
    exitgrmode();
    EXPECT_EQ(GrDriverInfo->mcode, before);

    scalew = 0;
    entergrmode(5);
    EXPECT_EQ(GrScreenContext()->gc_xmax + 1, 1024);
    EXPECT_EQ(GrScreenContext()->gc_ymax + 1, 768);
    exitgrmode();
    // The placeholder row and indices past the table's end both stand for row 3.
    for (int vga : {9, 12, -1}) {
        entergrmode(vga);
        EXPECT_EQ(GrScreenContext()->gc_xmax + 1, 640) << vga;
        EXPECT_EQ(GrScreenContext()->gc_ymax + 1, 480) << vga;
        exitgrmode();
    }
    whc[8][0] = 320;
    whc[8][1] = 200;
    entergrmode(8);
    EXPECT_EQ(GrScreenContext()->gc_xmax + 1, 320);
    EXPECT_EQ(GrScreenContext()->gc_ymax + 1, 200);
}

TEST_F(GraphicsMode, SizeZeroAndLeavingWithoutEnteringChangeNothing)
{
    ASSERT_EQ(GrSetDriver("memory"), 1);
    GrSetMode(GR_width_height_color_graphics, 40, 30, 256);
    entergrmode(0);
    EXPECT_EQ(GrScreenContext()->gc_xmax + 1, 40);
    exitgrmode();
    exitgrmode();
    EXPECT_EQ(GrDriverInfo->mcode, GR_width_height_color_graphics);
    EXPECT_EQ(GrScreenContext()->gc_xmax + 1, 40);
    EXPECT_EQ(GrScreenContext()->gc_ymax + 1, 30);
    GrPlot(39, 29, 5); // still a graphics mode: drawing does not end the run
    EXPECT_EQ(page_pixel(39, 29), 5u);
    GrSetMode(GR_default_text);
}

void expect_rgb(GrColor c, int r, int g, int b, const char* what)
{
    int cr = -1, cg = -1, cb = -1;
    GrQueryColor(c, &cr, &cg, &cb);
    EXPECT_EQ(cr, r) << what;
    EXPECT_EQ(cg, g) << what;
    EXPECT_EQ(cb, b) << what;
}

TEST_F(GraphicsMode, ColourSlotsTakeTheRequestedColours)
{
    entergrmode(3);
    testing::internal::CaptureStderr();
    alloc_colors();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    expect_rgb(colors[COLOR_WHITE], 255, 255, 255, "white");
    expect_rgb(colors[COLOR_BLACK], 0, 0, 0, "black");
    expect_rgb(colors[COLOR_BG], 255, 255, 255, "background");
    expect_rgb(colors[COLOR_FG0], 0, 0, 0, "data set 0");
    expect_rgb(colors[COLOR_FG1], 0, 72, 140, "data set 1");
    expect_rgb(colors[COLOR_AX], 0, 0, 0, "axes");
    expect_rgb(colors[COLOR_FILLRING], 255, 64, 0, "fill ring");
    GrClearScreen(colors[COLOR_BG]);
    GrPlot(3, 4, colors[COLOR_FG2]);
    expect_rgb(page_pixel(0, 0), 255, 255, 255, "cleared page");
    expect_rgb(page_pixel(3, 4), 216, 64, 0, "data set 2 pixel");
}

TEST_F(GraphicsMode, InvertedColoursGiveABlackPageWithWhiteDataAndAxes)
{
    invcolor = 1;
    entergrmode(3);
    testing::internal::CaptureStderr();
    alloc_colors();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    expect_rgb(colors[COLOR_BG], 0, 0, 0, "background");
    expect_rgb(colors[COLOR_FG0], 255, 255, 255, "data set 0");
    EXPECT_EQ(colors[COLOR_AX], colors[COLOR_WHITE]);
    GrClearScreen(colors[COLOR_BG]);
    GrLine(0, 5, 9, 5, colors[COLOR_AX]);
    GrPlot(20, 20, colors[COLOR_FG0]);
    expect_rgb(page_pixel(100, 100), 0, 0, 0, "page");
    expect_rgb(page_pixel(4, 5), 255, 255, 255, "axis pixel");
    expect_rgb(page_pixel(20, 20), 255, 255, 255, "data pixel");
}

TEST_F(GraphicsMode, SlotsEqualToTheBackgroundAreReported)
{
    FgColors[2] = BgColor;
    entergrmode(3);
    testing::internal::CaptureStderr();
    alloc_colors();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "WARNING: Color fg2color is the same as background color\n");

    BgColor = {255, 0, 0}; // the misc colour's start value
    FillColor = {255, 0, 0};
    FgColors[2] = {1, 2, 3};
    testing::internal::CaptureStderr();
    alloc_colors();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "WARNING: Color misccolor is the same as background color\n"
                                                      "WARNING: Color fillcolor is the same as background color\n");
}

TEST_F(GraphicsMode, FontComesFromTheEnvironmentOrFallsBack)
{
    setenv(ENVFONT, "/nonexistent/none.fnt", 1);
    testing::internal::CaptureStdout();
    entergrmode(3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Font /nonexistent/none.fnts not found\nUsing default font\n");
    EXPECT_EQ(font, &GrFont_PC8x16);
    exitgrmode();

    const std::string path = std::string(TEST_DATA_DIR) + "/plotting/digits.fna";
    setenv(ENVFONT, path.c_str(), 1);
    testing::internal::CaptureStdout();
    entergrmode(3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(font, &GrFont_PC8x16);
    EXPECT_EQ(font->h.height, 6u);
    EXPECT_TRUE(font->h.proportional);
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

GrTextOption text_options(GrFont* f, GrColor fg)
{
    GrTextOption opt{};
    opt.txo_font = f;
    opt.txo_fgcolor.v = fg;
    opt.txo_bgcolor.v = GrNOCOLOR;
    return opt;
}

// The rows of the built-in glyph "A" as drawn: 00 00 10 38 6C C6 C6 FE C6 C6 C6 C6 00 00 00 00.
constexpr unsigned char glyph_a[16] = {0x00, 0x00, 0x10, 0x38, 0x6C, 0xC6, 0xC6, 0xFE,
                                       0xC6, 0xC6, 0xC6, 0xC6, 0x00, 0x00, 0x00, 0x00};

// Whether the 8 x 16 cell with top-left corner (x, y) shows glyph "A" in value fg on value 0.
::testing::AssertionResult shows_a(int x, int y, GrColor fg)
{
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 8; ++c) {
            const GrColor want = (glyph_a[r] & (0x80 >> c)) ? fg : 0;
            if (page_pixel(x + c, y + r) != want)
                return ::testing::AssertionFailure() << "pixel (" << x + c << "," << y + r << ")";
        }
    return ::testing::AssertionSuccess();
}

TEST_F(GraphicsMode, FormattedTextIsDrawnAtItsPosition)
{
    entergrmode(3);
    GrTextOption opt = text_options(&GrFont_PC8x16, 7);
    EXPECT_EQ(gprintfxy(10, 20, &opt, "%c", 'A'), 1);
    EXPECT_TRUE(shows_a(10, 20, 7));
    EXPECT_EQ(gprintfxy(200, 100, &opt, "%s%d", "A", 42), 3);
    EXPECT_TRUE(shows_a(200, 100, 7));
    // Positions far outside the page are clipped, not wrapped.
    GrClearScreen(0);
    EXPECT_EQ(gprintfxy(5000000000L, -5000000000L, &opt, "A"), 1);
    EXPECT_EQ(drawn_pixels(), 0);
}

TEST_F(GraphicsMode, EmptyTextDrawsNothingAndLongTextIsCut)
{
    entergrmode(3);
    GrTextOption opt = text_options(&GrFont_PC8x16, 7);
    EXPECT_EQ(gprintfxy(10, 10, &opt, "%s", ""), 0);
    EXPECT_EQ(drawn_pixels(), 0);

    // 511 "A" then 89 "B": placed so that character 511 lands on columns 0..7, the cut one would follow it.
    const std::string text = std::string(511, 'A') + std::string(89, 'B');
    EXPECT_EQ(gprintfxy(-510L * 8, 0, &opt, "%s", text.c_str()), 511);
    EXPECT_TRUE(shows_a(0, 0, 7));
    for (int x = 8; x < 40; ++x)
        for (int y = 0; y < 16; ++y)
            ASSERT_EQ(page_pixel(x, y), 0u) << x << "," << y;
}

TEST_F(GraphicsMode, ExtentsFollowFontAndDirection)
{
    GrTextOption opt = text_options(&GrFont_PC8x16, 1);
    EXPECT_EQ(GrStringWidth_("hello", &opt), 40u);
    EXPECT_EQ(GrStringHeight_("hello", &opt), 16u);
    EXPECT_EQ(GrStringWidth_("", &opt), 0u);
    opt.txo_direct = 3; // upward text: the length runs along y
    EXPECT_EQ(GrStringWidth_("hello", &opt), 16u);
    EXPECT_EQ(GrStringHeight_("hello", &opt), 40u);
    EXPECT_EQ(GrStringWidth_("abc", nullptr), 24u);

    const std::string path = std::string(TEST_DATA_DIR) + "/plotting/digits.fna";
    GrFont* digits = GrLoadFont(path.c_str());
    ASSERT_NE(digits, nullptr);
    opt = text_options(digits, 1);
    EXPECT_EQ(GrStringWidth_("012", &opt), 3u + 2u + 5u);
    EXPECT_EQ(GrStringWidth_("0129", &opt), 3u + 2u + 5u + 4u); // a code outside the font counts the font width
    EXPECT_EQ(GrStringHeight_("012", &opt), 6u);
    opt.txo_direct = 1;
    EXPECT_EQ(GrStringHeight_("21", &opt), 7u);
    EXPECT_EQ(GrStringWidth_("21", &opt), 6u);
    GrUnloadFont(digits);
}

// A window page on SDL's invisible driver: the key wait reads the window's event queue.
class WindowPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clean_state();
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
        twgr::window::allow_virtual_video(true);
        ASSERT_EQ(GrSetDriver("sdl2"), 1);
    }
    void TearDown() override
    {
        clean_state();
        _GrCloseVideoDriver();
        twgr::window::allow_virtual_video(false);
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    }
};

GrEvent event_of(int type, int p1)
{
    GrEvent ev{};
    ev.type = type;
    ev.p1 = p1;
    return ev;
}

TEST_F(WindowPage, ClicksDoNotEndTheKeyWait)
{
    entergrmode(3);
    EXPECT_EQ(GrScreenContext()->gc_xmax + 1, 690);
    const GrEvent click = event_of(GREV_MOUSE, GRMOUSE_LB_RELEASED);
    const GrEvent key = event_of(GREV_KEY, 'r');
    const GrEvent escape = event_of(GREV_KEY, 27);
    ASSERT_EQ(GrEventEnqueue(&click), 0);
    ASSERT_EQ(GrEventEnqueue(&key), 0);
    ASSERT_EQ(GrEventEnqueue(&click), 0);
    ASSERT_EQ(GrEventEnqueue(&escape), 0);
    EXPECT_EQ(GrKeyRead(), 'r');
    EXPECT_EQ(GrKeyRead(), 27);
    exitgrmode();
    EXPECT_EQ(GrDriverInfo->mcode, GR_default_text);
}

} // namespace
