// Tests of the drawing primitives: exact pixels of small shapes, clipping at the edges of the clip box,
// and extreme coordinates.
#include "gr_fixture.h"

#include <climits>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

using gr_test::MemoryMode;
using gr_test::picture;

namespace
{

constexpr GrColor one = 1;
constexpr GrColor xor_one = GrXOR | 1;

TEST_F(MemoryMode, LineFromOriginToNineThreeTakesOnePixelPerColumn)
{
    GrLine(0, 0, 9, 3, one);
    EXPECT_EQ(picture(nullptr, 0, 0, 9, 4), "##........\n"
                                            "..###.....\n"
                                            ".....###..\n"
                                            "........##\n"
                                            "..........\n");
    // Drawn the other way round, the same pixels come out.
    GrClearContext(0);
    GrLine(9, 3, 0, 0, one);
    EXPECT_EQ(gr_test::count_value(one), 10);
    EXPECT_EQ(GrPixelC(nullptr, 1, 0), one);
    EXPECT_EQ(GrPixelC(nullptr, 8, 3), one);
}

TEST_F(MemoryMode, DegenerateLinesDrawOnePixel)
{
    GrLine(4, 4, 4, 4, one);
    EXPECT_EQ(gr_test::count_value(one), 1);
    EXPECT_EQ(GrPixelC(nullptr, 4, 4), one);
    // A point outside the clip box draws nothing, in any direction.
    GrLine(-1, 4, -1, 4, 2);
    GrLine(4, 12, 4, 12, 2);
    EXPECT_EQ(gr_test::count_value(2), 0);
}

TEST_F(MemoryMode, LineClippedAtTheLeftEdgeStartsAtTheRoundedCrossing)
{
    GrLine(-10, 0, 10, 10, one);
    EXPECT_EQ(GrPixelC(nullptr, 0, 5), one);
    EXPECT_EQ(GrPixelC(nullptr, 0, 4), 0U);
    EXPECT_EQ(GrPixelC(nullptr, 0, 6), 0U);
    EXPECT_EQ(GrPixelC(nullptr, 10, 10), one);
    EXPECT_EQ(gr_test::count_value(one), 11);
    // Crossings at half a pixel round away from zero, upward and downward alike.
    GrClearContext(0);
    GrLine(-1, 3, 1, 4, 2);
    GrLine(-1, 9, 1, 8, 2);
    EXPECT_EQ(picture(nullptr, 0, 3, 1, 9), "..\n"
                                            "++\n"
                                            "..\n"
                                            "..\n"
                                            "..\n"
                                            "++\n"
                                            "..\n");
}

TEST_F(MemoryMode, LineAcrossTheWholeIntRangeIsClippedExactly)
{
    // The diagonal through (0,0) leaves the 16 x 12 screen at its bottom edge.
    GrLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, one);
    EXPECT_EQ(gr_test::count_value(one), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(GrPixelC(nullptr, i, i), one) << i;
    GrClearContext(0);
    GrLine(INT_MAX, INT_MIN, INT_MIN, INT_MAX, one);
    GrLine(INT_MIN, 3, INT_MAX, 3, 2);
    EXPECT_EQ(gr_test::count_value(2), 16);
}

TEST_F(MemoryMode, LinesInsideTheContextDrawLongerSidePlusOnePixels)
{
    set_mode(64, 48);
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> xs(0, 63), ys(0, 47);
    for (int i = 0; i < 300; ++i) {
        GrClearContext(0);
        int x1 = xs(rng), y1 = ys(rng), x2 = xs(rng), y2 = ys(rng);
        GrLine(x1, y1, x2, y2, xor_one);
        int expected = std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1;
        ASSERT_EQ(gr_test::count_value(one), expected) << x1 << "," << y1 << " " << x2 << "," << y2;
        ASSERT_EQ(GrPixelC(nullptr, x1, y1), one);
        ASSERT_EQ(GrPixelC(nullptr, x2, y2), one);
    }
}

TEST_F(MemoryMode, BoxOutlineDrawsNoPixelTwice)
{
    // Drawn with xor, a pixel drawn twice would come back to 0.
    GrBox(5, 4, 1, 1, xor_one);
    EXPECT_EQ(picture(nullptr, 0, 0, 6, 5), ".......\n"
                                            ".#####.\n"
                                            ".#...#.\n"
                                            ".#...#.\n"
                                            ".#####.\n"
                                            ".......\n");
    GrClearContext(0);
    GrBox(3, 2, 3, 6, xor_one);
    GrBox(8, 1, 12, 1, xor_one);
    GrBox(14, 9, 14, 9, xor_one);
    EXPECT_EQ(gr_test::count_value(one), 5 + 5 + 1);
    for (int y = 2; y <= 6; ++y)
        EXPECT_EQ(GrPixelC(nullptr, 3, y), one);
}

TEST_F(MemoryMode, BoxLargerThanTheClipBoxDrawsOnlyItsInsideEdges)
{
    GrSetClipBox(2, 2, 8, 8);
    GrBox(0, 4, 20, 6, xor_one);
    GrResetClipBox();
    EXPECT_EQ(picture(nullptr, 0, 3, 10, 7), "...........\n"
                                             "..#######..\n"
                                             "...........\n"
                                             "..#######..\n"
                                             "...........\n");
    GrClearContext(0);
    GrSetClipBox(2, 2, 8, 8);
    GrBox(4, -5, 30, 5, xor_one); // left and bottom edges inside
    GrResetClipBox();
    EXPECT_EQ(picture(nullptr, 0, 1, 10, 6), "...........\n"
                                             "....#......\n"
                                             "....#......\n"
                                             "....#......\n"
                                             "....#####..\n"
                                             "...........\n");
}

TEST_F(MemoryMode, SmallCirclesAndDiscs)
{
    GrCircle(3, 3, 0, one);
    EXPECT_EQ(gr_test::count_value(one), 1);
    EXPECT_EQ(GrPixelC(nullptr, 3, 3), one);
    GrClearContext(0);
    GrFilledCircle(5, 5, 1, one);
    GrCircle(11, 5, 1, one);
    EXPECT_EQ(picture(nullptr, 4, 4, 12, 6), ".#.....#.\n"
                                             "###...#.#\n"
                                             ".#.....#.\n");
    GrClearContext(0);
    GrFilledCircle(3, 3, 2, one);
    GrCircle(10, 3, 2, xor_one);
    EXPECT_EQ(picture(nullptr, 1, 1, 12, 5), ".###....###.\n"
                                             "#####..#...#\n"
                                             "#####..#...#\n"
                                             "#####..#...#\n"
                                             ".###....###.\n");
}

TEST_F(MemoryMode, DegenerateEllipsesAreClippedLines)
{
    GrEllipse(5, 5, 20, 0, one);
    GrFilledEllipse(3, 6, 0, -2, 2);
    EXPECT_EQ(gr_test::count_value(one), 15);
    EXPECT_EQ(gr_test::count_value(2), 5);
    EXPECT_EQ(picture(nullptr, 2, 3, 4, 9), "...\n"
                                            ".+.\n"
                                            "#+#\n"
                                            ".+.\n"
                                            ".+.\n"
                                            ".+.\n"
                                            "...\n");
}

TEST_F(MemoryMode, CircleOfRadius121TakesThePolygonPath)
{
    set_mode(260, 260);
    int pts[1024][2];
    // ((242 * 628 / 500) + 1) >> 1 = 152 points asked for: an angle step of 8, 128 vertices.
    ASSERT_EQ(GrGenerateEllipse(130, 130, 121, 121, pts), 128);
    EXPECT_EQ(pts[0][0], 251);
    EXPECT_EQ(pts[0][1], 130);
    EXPECT_EQ(pts[32][0], 130); // a quarter turn on: straight up
    EXPECT_EQ(pts[32][1], 9);
    GrCircle(130, 130, 121, one);
    std::string circle = picture();
    GrClearContext(0);
    GrPolygon(128, pts, one);
    EXPECT_EQ(picture(), circle);
}

TEST_F(MemoryMode, CircleOfRadius120StaysOnTheTablePath)
{
    set_mode(260, 260);
    GrCircle(130, 130, 120, one);
    std::string circle = picture();
    const GrContext* c = GrCurrentContext();
    int drawn = 0;
    for (int y = 0; y <= c->gc_ymax; ++y) {
        for (int x = 0; x <= c->gc_xmax; ++x) {
            if (GrPixelC(c, x, y) != one)
                continue;
            ++drawn;
            double r = std::hypot(x - 130, y - 130);
            ASSERT_LT(std::fabs(r - 120), 1.0) << x << "," << y;
        }
    }
    EXPECT_GT(drawn, 4 * 160);
    int pts[1024][2];
    int n = GrGenerateEllipse(130, 130, 120, 120, pts);
    GrClearContext(0);
    GrPolygon(n, pts, one);
    EXPECT_NE(picture(), circle);
}

TEST_F(MemoryMode, FilledTriangleRowsFollowItsEdges)
{
    int tri[3][2] = {{0, 0}, {8, 4}, {0, 4}};
    GrFilledConvexPolygon(3, tri, one);
    EXPECT_EQ(picture(nullptr, 0, 0, 9, 5), "##........\n"
                                            "####......\n"
                                            "######....\n"
                                            "########..\n"
                                            "#########.\n"
                                            "..........\n");
}

TEST_F(MemoryMode, FilledPolygonIgnoresARepeatedLastPoint)
{
    int square[4][2] = {{2, 2}, {6, 2}, {6, 5}, {2, 5}};
    GrFilledConvexPolygon(4, square, xor_one);
    EXPECT_EQ(gr_test::count_value(one), 5 * 4);
    EXPECT_EQ(picture(nullptr, 1, 1, 7, 6), ".......\n"
                                            ".#####.\n"
                                            ".#####.\n"
                                            ".#####.\n"
                                            ".#####.\n"
                                            ".......\n");
    int quad[5][2] = {{3, 0}, {14, 4}, {9, 11}, {1, 7}, {3, 0}};
    GrClearContext(0);
    GrFilledConvexPolygon(4, quad, one);
    std::string open = picture();
    GrClearContext(0);
    GrFilledConvexPolygon(5, quad, one);
    EXPECT_EQ(picture(), open);
    EXPECT_GT(gr_test::count_value(one), 40);
}

TEST_F(MemoryMode, PolygonOutlineJoinsTheLastPointToTheFirst)
{
    int tri[3][2] = {{0, 0}, {4, 0}, {4, 4}};
    GrPolygon(3, tri, one);
    EXPECT_EQ(picture(nullptr, 0, 0, 5, 4), "#####.\n"
                                            ".#..#.\n"
                                            "..#.#.\n"
                                            "...##.\n"
                                            "....#.\n");
    int single[1][2] = {{7, 7}};
    GrClearContext(0);
    GrPolygon(1, single, one);
    GrPolygon(0, single, one);
    GrFilledConvexPolygon(0, single, one);
    EXPECT_EQ(gr_test::count_value(one), 1);
}

TEST_F(MemoryMode, HugeShapesAroundTheContext)
{
    GrFilledCircle(0, 0, INT_MAX, one);
    EXPECT_EQ(gr_test::count_value(one), 16 * 12);
    GrClearContext(0);
    GrCircle(8, 6, INT_MAX, one);
    GrEllipse(INT_MIN, INT_MAX, INT_MAX, INT_MIN, one);
    GrFilledEllipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX, one);
    EXPECT_EQ(gr_test::count_value(one), 0);
    // A disc whose edge crosses the screen: its column 0 ends where the circle does.
    GrFilledEllipse(-1000000, 5, 1000005, 1000000, one);
    EXPECT_EQ(GrPixelC(nullptr, 5, 5), one);
    EXPECT_EQ(GrPixelC(nullptr, 7, 5), 0U);
}

TEST_F(MemoryMode, PolygonsOfMillionsOfPoints)
{
    constexpr int n = 2000000;
    std::vector<int> flat(2 * n);
    auto* pts = reinterpret_cast<int(*)[2]>(flat.data());
    for (int i = 0; i < n; ++i) {
        double t = 2 * std::numbers::pi * i / n;
        pts[i][0] = 8 + (int)std::lround(1e8 * std::cos(t));
        pts[i][1] = 6 - (int)std::lround(1e8 * std::sin(t));
    }
    GrPolygon(n, pts, one);
    EXPECT_EQ(gr_test::count_value(one), 0);
    GrFilledConvexPolygon(n, pts, one);
    EXPECT_EQ(gr_test::count_value(one), 16 * 12);
}

// Every primitive, with random coordinates, leaves the pixels outside the clip box as they were.
TEST_F(MemoryMode, NothingOutsideTheClipBoxChanges)
{
    set_mode(40, 30);
    constexpr GrColor canary = 7;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> near(-60, 100), any(INT_MIN, INT_MAX), pick(0, 9);
    for (int round = 0; round < 400; ++round) {
        GrSetContext(nullptr);
        GrClearContext(canary);
        GrContext* sub = GrCreateSubContext(10, 8, 25, 20, nullptr, nullptr);
        ASSERT_NE(sub, nullptr);
        GrSetContext(sub);
        GrSetClipBox(2, 1, 12, 9);
        auto coord = [&] { return round % 4 == 0 ? any(rng) : near(rng); };
        int a = coord(), b = coord(), c = coord(), d = coord();
        GrColor colour = (GrColor)(round % 4) << 24 | 3;
        int tri[3][2] = {{a, b}, {c, d}, {coord(), coord()}};
        switch (pick(rng)) {
        case 0:
            GrLine(a, b, c, d, colour);
            break;
        case 1:
            GrBox(a, b, c, d, colour);
            break;
        case 2:
            GrCircle(a, b, c, colour);
            break;
        case 3:
            GrFilledCircle(a, b, c, colour);
            break;
        case 4:
            GrEllipse(a, b, c, d, colour);
            break;
        case 5:
            GrFilledEllipse(a, b, c, d, colour);
            break;
        case 6:
            GrPolygon(3, tri, colour);
            break;
        case 7:
            GrFilledConvexPolygon(3, tri, colour);
            break;
        case 8:
            GrPlot(a % 20, b % 20, colour);
            break;
        default:
            GrFilledEllipse(a % 30, b % 30, c % 200, d % 200, colour);
            break;
        }
        GrSetContext(nullptr);
        GrDestroyContext(sub);
        const GrContext* s = GrScreenContext();
        for (int y = 0; y <= s->gc_ymax; ++y) {
            for (int x = 0; x <= s->gc_xmax; ++x) {
                if (x < 12 || x > 22 || y < 9 || y > 17) {
                    ASSERT_EQ(GrPixelC(s, x, y), canary) << "round " << round << " at " << x << "," << y;
                }
            }
        }
    }
}

} // namespace
