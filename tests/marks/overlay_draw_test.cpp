// Overlay items drawn in the misc colour inside a plot-area context: circles as per-axis ellipses, arrows,
// texts with the caller's options, lines across the area, and items far outside the plotted ranges.
#include "plot/overlay_draw.h"

#include <gtest/gtest.h>

#include "marks_fixture.h"

namespace
{

using namespace marks_test;

constexpr GrColor misc = COLOR_MISC;

// A plot area of 101 x 101 pixels at (10, 10) of the page, current while the test draws.
class Overlays : public MarksPage
{
protected:
    GrContext area{};
    GrTextOption opt{};

    void SetUp() override
    {
        MarksPage::SetUp();
        GrCreateSubContext(10, 10, 110, 110, nullptr, &area);
        GrSetContext(&area);
        opt.txo_font = font;
        opt.txo_fgcolor.v = COLOR_AX;
        opt.txo_bgcolor.v = GrNOCOLOR;
    }
    void TearDown() override
    {
        GrSetContext(nullptr);
        MarksPage::TearDown();
    }
    // Clears the page, draws every overlay item and returns the drawn pixels, each in the misc colour.
    box draw_all()
    {
        GrClearScreen(0);
        do_circles(100);
        do_arrows(100);
        do_text(100, &opt);
        do_line(100);
        clear_overlays();
        EXPECT_EQ(drawn().count, pixels_of(misc).count) << "every item in the misc colour";
        return drawn();
    }
};

TEST_F(Overlays, CircleRadiusIsMeasuredAlongEachAxis)
{
    // 10 pixels per x unit, 100 per y unit: the circle (5, 0.5, 0.2) has half-axes 2 and 20.
    Yscale.set(0, 1, 100);
    circles.push_back({5, 0.5, 0.2});
    EXPECT_EQ(draw_all().bounds, (rect{10 + 48, 10 + 30, 10 + 52, 10 + 70}));

    // A small circle as a picture: half-axes 2 and 2 around (20, 80) of the area.
    Yscale.set(0, 10, 100);
    circles.push_back({2, 2, 0.2});
    draw_all();
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
    EXPECT_EQ(draw_all().bounds, (rect{20, 49, 100, 70}));
    EXPECT_EQ(columns_with(60, misc), span(20, 100));
    // 16 cos 140 = -12.26, 16 sin 140 = 10.28.
    EXPECT_EQ(page_pixel(10 + 77, 10 + 39), misc);
    EXPECT_EQ(page_pixel(10 + 77, 10 + 60), misc);

    // Both points outside the plotted ranges, the shaft crossing the area: only the part inside is drawn.
    arrows.push_back({-5, 5, 15, 5});
    const box b = draw_all();
    EXPECT_EQ(b.bounds, (rect{10, 60, 110, 60}));
    EXPECT_EQ(b.count, 101);
}

TEST_F(Overlays, TextTakesTheMiscColourIntoTheCallersOptions)
{
    texts.push_back({2, 8, "Hi"}); // top-left corner at (20, 20) of the area
    const box b = draw_all();
    EXPECT_EQ(opt.txo_fgcolor.v, misc);
    EXPECT_GT(b.count, 10);
    EXPECT_GE(b.bounds[0], 30);
    EXPECT_GE(b.bounds[1], 30);
    EXPECT_LT(b.bounds[2], 30 + 16);
    EXPECT_LT(b.bounds[3], 30 + 16);
}

TEST_F(Overlays, LinesSpanTheWholeArea)
{
    lines.push_back({LT_HORIZONTAL, 0, 5, 0, 0}); // row 50 of the area
    EXPECT_EQ(draw_all().bounds, (rect{10, 60, 110, 60}));
    EXPECT_EQ(drawn().count, 101);
    lines.push_back({LT_VERTICAL, 5, 0, 0, 0}); // column 50 of the area
    EXPECT_EQ(draw_all().bounds, (rect{60, 10, 60, 110}));
    EXPECT_EQ(drawn().count, 101);

    lines.push_back({LT_NORMAL, 1, 1, 9, 9});      // (10, 90) to (90, 10) of the area
    lines.push_back({LT_HORIZONTAL, 0, 20, 0, 0}); // above the plotted range: nothing
    EXPECT_EQ(draw_all().bounds, (rect{20, 20, 100, 100}));
    EXPECT_EQ(drawn().count, 81);
    EXPECT_EQ(page_pixel(20, 100), misc);
    EXPECT_EQ(page_pixel(60, 60), misc);
}

TEST_F(Overlays, ItemsFarOutsideTheRangesKeepTheirGeometry)
{
    // A line through infinitely distant ends: still the horizontal line at y = 5.
    lines.push_back({LT_NORMAL, -1e300, 5, 1e300, 5});
    EXPECT_EQ(draw_all().bounds, (rect{10, 60, 110, 60}));
    EXPECT_EQ(drawn().count, 101);

    // Ends far off in opposite corners of a line that passes far from the page draw nothing; pinned to the
    // far-off bound they would make the page's diagonal.
    lines.push_back({LT_NORMAL, 2e8, -1e8, -2e8, 0.8e8});
    arrows.push_back({2e8, -1e8, -2e8, 0.8e8});
    circles.push_back({1e300, 5, 1e300});
    circles.push_back({5, 5, 1.7e308});
    texts.push_back({1e300, -1e300, "far"});
    EXPECT_EQ(draw_all().count, 0);
}

} // namespace
