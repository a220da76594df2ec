// Overlay items drawn in the misc colour inside a plot-area context: circles as per-axis ellipses, arrows,
// texts with the caller's options, lines across the area, and items far outside the plotted ranges.
#include "overlay_draw.h"

#include <gtest/gtest.h>

#include <string>

#include "marks_fixture.h"

namespace
{

using marks_test::drawn;
using marks_test::picture;
using marks_test::pixel;
using marks_test::pixels_of;

constexpr GrColor misc = COLOR_MISC;

// A plot area of 101 x 101 pixels at (10, 10) of the page, current while the test draws.
class Overlays : public marks_test::MarksPage
{
protected:
    GrContext area{};

    void SetUp() override
    {
        MarksPage::SetUp();
        GrCreateSubContext(10, 10, 110, 110, nullptr, &area);
        GrSetContext(&area);
    }
    void TearDown() override
    {
        GrSetContext(nullptr);
        MarksPage::TearDown();
    }
    static void expect_only_misc()
    {
        EXPECT_EQ(drawn().count, pixels_of(misc).count) << "every item in the misc colour";
    }
};

TEST_F(Overlays, CircleRadiusIsMeasuredAlongEachAxis)
{
    // 10 pixels per x unit, 100 per y unit: the circle (5, 0.5, 0.2) has half-axes 2 and 20.
    Yscale.set(0, 1, 100);
    circles.push_back({5, 0.5, 0.2});
    do_circles(100);
    const auto b = drawn();
    EXPECT_EQ(b.x0, 10 + 48);
    EXPECT_EQ(b.x1, 10 + 52);
    EXPECT_EQ(b.y0, 10 + 30);
    EXPECT_EQ(b.y1, 10 + 70);
    expect_only_misc();

    // A small circle as a picture: half-axes 2 and 2 around (20, 80) of the area.
    GrClearScreen(0);
    Yscale.set(0, 10, 100);
    circles.clear();
    circles.push_back({2, 2, 0.2});
    do_circles(100);
    EXPECT_EQ(picture(10 + 17, 10 + 77, 10 + 23, 10 + 83), ".......\n"
                                                           "..eee..\n"
                                                           ".e...e.\n"
                                                           ".e...e.\n"
                                                           ".e...e.\n"
                                                           "..eee..\n"
                                                           ".......\n");
}

TEST_F(Overlays, ArrowHeadAtTheSecondPoint)
{
    arrows.push_back({1, 5, 9, 5}); // (10, 50) to (90, 50) of the area: head strokes 16 pixels long
    do_arrows(100);
    for (int x = 10; x <= 90; ++x)
        EXPECT_EQ(pixel(10 + x, 60), misc) << x;
    // 16 cos 140 = -12.26, 16 sin 140 = 10.28.
    EXPECT_EQ(pixel(10 + 77, 10 + 39), misc);
    EXPECT_EQ(pixel(10 + 77, 10 + 60), misc);
    const auto b = drawn();
    EXPECT_EQ(b.x0, 20);
    EXPECT_EQ(b.x1, 100);
    EXPECT_EQ(b.y0, 49);
    EXPECT_EQ(b.y1, 70);
    expect_only_misc();

    // Both points outside the plotted ranges, the shaft crossing the area: only the part inside is drawn.
    GrClearScreen(0);
    arrows.clear();
    arrows.push_back({-5, 5, 15, 5});
    do_arrows(100);
    EXPECT_EQ(drawn().count, 101);
    EXPECT_EQ(drawn().x0, 10);
    EXPECT_EQ(drawn().x1, 110);
}

TEST_F(Overlays, TextTakesTheMiscColourIntoTheCallersOptions)
{
    GrTextOption opt{};
    opt.txo_font = font;
    opt.txo_fgcolor.v = COLOR_AX;
    opt.txo_bgcolor.v = GrNOCOLOR;
    texts.push_back({2, 8, "Hi"}); // top-left corner at (20, 20) of the area
    do_text(100, &opt);
    EXPECT_EQ(opt.txo_fgcolor.v, misc);
    const auto b = drawn();
    EXPECT_GT(b.count, 10);
    EXPECT_GE(b.x0, 30);
    EXPECT_LT(b.x1, 30 + 16);
    EXPECT_GE(b.y0, 30);
    EXPECT_LT(b.y1, 30 + 16);
    expect_only_misc();
}

TEST_F(Overlays, LinesSpanTheWholeArea)
{
    lines.push_back({LT_HORIZONTAL, 0, 5, 0, 0}); // row 50 of the area
    do_line(100);
    EXPECT_EQ(pixels_of(misc).count, 101);
    for (int x = 10; x <= 110; ++x)
        EXPECT_EQ(pixel(x, 60), misc) << x;

    GrClearScreen(0);
    lines.clear();
    lines.push_back({LT_VERTICAL, 5, 0, 0, 0}); // column 50 of the area
    do_line(100);
    EXPECT_EQ(pixels_of(misc).count, 101);
    for (int y = 10; y <= 110; ++y)
        EXPECT_EQ(pixel(60, y), misc) << y;

    GrClearScreen(0);
    lines.clear();
    lines.push_back({LT_NORMAL, 1, 1, 9, 9});      // (10, 90) to (90, 10) of the area
    lines.push_back({LT_HORIZONTAL, 0, 20, 0, 0}); // above the plotted range: nothing
    do_line(100);
    EXPECT_EQ(pixels_of(misc).count, 81);
    EXPECT_EQ(pixel(20, 100), misc);
    EXPECT_EQ(pixel(100, 20), misc);
    EXPECT_EQ(pixel(60, 60), misc);
}

TEST_F(Overlays, ItemsFarOutsideTheRangesKeepTheirGeometry)
{
    // A line through infinitely distant ends: still the horizontal line at y = 5.
    lines.push_back({LT_NORMAL, -1e300, 5, 1e300, 5});
    do_line(100);
    EXPECT_EQ(pixels_of(misc).count, 101);
    EXPECT_EQ(drawn().y0, 60);
    EXPECT_EQ(drawn().y1, 60);

    // Ends far off in opposite corners of a line that passes far from the page draw nothing; pinned to the
    // far-off bound they would make the page's diagonal.
    GrClearScreen(0);
    lines.clear();
    lines.push_back({LT_NORMAL, 2e8, -1e8, -2e8, 0.8e8});
    arrows.push_back({2e8, -1e8, -2e8, 0.8e8});
    circles.push_back({1e300, 5, 1e300});
    circles.push_back({5, 5, 1.7e308});
    texts.push_back({1e300, -1e300, "far"});
    GrTextOption opt{};
    opt.txo_font = font;
    opt.txo_bgcolor.v = GrNOCOLOR;
    do_circles(100);
    do_arrows(100);
    do_text(100, &opt);
    do_line(100);
    EXPECT_EQ(drawn().count, 0);
}

} // namespace
