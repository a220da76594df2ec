// Tests of the drawing primitives: exact pixels of small shapes, clipping at the edges of the clip box, and
// extreme coordinates.
#include "gr_fixture.h"

#include "core/twgr_internal.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

using gr_test::count_value;
using gr_test::MemoryMode;
using gr_test::picture;

namespace
{

constexpr GrColor one = 1;
constexpr GrColor xor_one = GrXOR | 1;

// Which pixels a line takes is held by the golden pictures (axes, line mode, overlays); here its count, its ends and
// its direction.
TEST_F(MemoryMode, LinesTakeOnePixelPerStepInEitherDirection)
{
    // A point is one pixel, or nothing outside the clip box.
    GrLine(4, 4, 4, 4, 2);
    GrLine(-1, 4, -1, 4, 2);
    GrLine(4, 12, 4, 12, 2);
    EXPECT_EQ(count_value(2), 1);
    EXPECT_EQ(GrPixelC(nullptr, 4, 4), 2U);

    set_mode(64, 48);
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> xs(0, 63), ys(0, 47);
    for (int i = 0; i < 300; ++i) {
        GrClearContext(0);
        int x1 = xs(rng), y1 = ys(rng), x2 = xs(rng), y2 = ys(rng);
        GrLine(x1, y1, x2, y2, xor_one);
        int expected = std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1;
        ASSERT_EQ(count_value(one), expected) << x1 << "," << y1 << " " << x2 << "," << y2;
        ASSERT_EQ(GrPixelC(nullptr, x1, y1), one);
        ASSERT_EQ(GrPixelC(nullptr, x2, y2), one);
        GrLine(x2, y2, x1, y1, xor_one); // the same pixels drawn the other way clear them all
        ASSERT_EQ(count_value(one), 0) << x1 << "," << y1 << " " << x2 << "," << y2;
    }
}

TEST_F(MemoryMode, ClippedLinesStartAtTheRoundedCrossing)
{
    GrLine(-10, 0, 10, 10, one);
    EXPECT_EQ(picture(nullptr, 0, 4, 0, 6), ".\n#\n.\n");
    EXPECT_EQ(GrPixelC(nullptr, 10, 10), one);
    EXPECT_EQ(count_value(one), 11);
    // Crossings at half a pixel round away from zero, upward and downward alike.
    GrClearContext(0);
    GrLine(-1, 3, 1, 4, 2);
    GrLine(-1, 9, 1, 8, 2);
    EXPECT_EQ(picture(nullptr, 0, 3, 1, 9), "..\n++\n..\n..\n..\n++\n..\n");
    // The diagonal through (0,0) across the whole int range leaves the 16 x 12 screen at its bottom edge.
    GrClearContext(0);
    GrLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, one);
    EXPECT_EQ(count_value(one), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(GrPixelC(nullptr, i, i), one) << i;
    GrLine(INT_MAX, INT_MIN, INT_MIN, INT_MAX, 2);
    GrLine(INT_MIN, 3, INT_MAX, 3, 3);
    EXPECT_EQ(count_value(3), 16);
}

// A box outline is the pixels of its edges inside the clip box, whatever the order of its corners, each drawn once
// (in xor, a pixel drawn twice would come back to 0).
TEST_F(MemoryMode, BoxOutlinesAreTheirEdgesInsideTheClipBoxDrawnOnce)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> xs(-3, 18), ys(-3, 14);
    for (int round = 0; round < 500; ++round) {
        GrClearContext(0);
        GrSetClipBox(xs(rng), ys(rng), xs(rng), ys(rng));
        std::array<int, 4> in; // the clip box as set, ordered and clamped
        GrGetClipBox(&in[0], &in[1], &in[2], &in[3]);
        const int x1 = xs(rng), y1 = ys(rng), x2 = xs(rng), y2 = ys(rng);
        GrBox(x1, y1, x2, y2, xor_one);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool within =
                    std::min(x1, x2) <= x && x <= std::max(x1, x2) && std::min(y1, y2) <= y && y <= std::max(y1, y2);
                const bool edge = within && (x == x1 || x == x2 || y == y1 || y == y2);
                const bool shown = in[0] <= x && x <= in[2] && in[1] <= y && y <= in[3];
                ASSERT_EQ(GrPixelC(nullptr, x, y), edge && shown ? one : 0U)
                    << x1 << "," << y1 << " " << x2 << "," << y2 << " at " << x << "," << y;
            }
    }
}

// Every pixel of a circle lies within a pixel of its radius, and the outline has no gaps, on both sides of radius
// 120, where the table of points ends and generated polygons take over.
TEST_F(MemoryMode, CirclePixelsLieOnTheRadiusAllRound)
{
    set_mode(260, 260);
    for (int r : {17, 64, 119, 120, 121, 127}) {
        GrClearContext(0);
        GrCircle(130, 130, r, one);
        int drawn = 0;
        for (int y = 0; y < 260; ++y)
            for (int x = 0; x < 260; ++x)
                if (GrPixelC(nullptr, x, y) == one) {
                    ++drawn;
                    ASSERT_LT(std::fabs(std::hypot(x - 130, y - 130) - r), 1.0) << r << " at " << x << "," << y;
                }
        EXPECT_GT(drawn, 5 * r) << r;
    }
}

// Circles up to radius 64 draw from spans kept per radius: every radius, ring and disc, inside the clip box and
// across each of its edges of a sub-context, gives the pixels of the general ellipse scanner (drawn in xor, so a
// pixel drawn twice shows).
TEST_F(MemoryMode, CirclesFromSpanTablesMatchTheEllipseScanner)
{
    set_mode(150, 150);
    GrContext sub{};
    GrCreateSubContext(7, 5, 146, 146, nullptr, &sub);
    GrSetContext(&sub);
    GrSetClipBox(3, 4, 128, 131);
    const int places[][2] = {{66, 68}, {4, 60}, {70, 130}, {127, 5}, {-20, 140}};
    for (int r = 0; r <= 65; ++r) {
        for (const auto& at : places) {
            for (const bool filled : {false, true}) {
                const int signed_r = filled && r % 2 ? -r : r;
                GrClearScreen(0);
                filled ? GrFilledCircle(at[0], at[1], signed_r, xor_one) : GrCircle(at[0], at[1], signed_r, xor_one);
                const std::string table = picture(GrScreenContext(), 0, 0, 149, 149);
                GrClearScreen(0);
                filled ? GrFilledEllipse(at[0], at[1], r, r, xor_one) : GrEllipse(at[0], at[1], r, r, xor_one);
                ASSERT_EQ(table, picture(GrScreenContext(), 0, 0, 149, 149))
                    << "r " << signed_r << " at " << at[0] << "," << at[1] << (filled ? " filled" : "");
            }
        }
    }
}

TEST_F(MemoryMode, PolygonsFollowTheirEdgesAndJoinTheLastPointToTheFirst)
{
    int tri[3][2] = {{0, 0}, {8, 4}, {0, 4}};
    GrFilledConvexPolygon(3, tri, one);
    EXPECT_EQ(picture(nullptr, 0, 0, 9, 5), "##........\n"
                                            "####......\n"
                                            "######....\n"
                                            "########..\n"
                                            "#########.\n"
                                            "..........\n");
    GrClearContext(0);
    int square[4][2] = {{2, 2}, {6, 2}, {6, 5}, {2, 5}};
    GrFilledConvexPolygon(4, square, xor_one);
    EXPECT_EQ(count_value(one), 5 * 4);
    EXPECT_EQ(picture(nullptr, 1, 1, 7, 6), ".......\n.#####.\n.#####.\n.#####.\n.#####.\n.......\n");
    // A repeated last point changes nothing.
    int quad[5][2] = {{3, 0}, {14, 4}, {9, 11}, {1, 7}, {3, 0}};
    GrClearContext(0);
    GrFilledConvexPolygon(4, quad, one);
    const std::string open = picture(nullptr, 0, 0, 15, 11);
    GrClearContext(0);
    GrFilledConvexPolygon(5, quad, one);
    EXPECT_EQ(picture(nullptr, 0, 0, 15, 11), open);
    EXPECT_GT(count_value(one), 40);

    GrClearContext(0);
    int outline[3][2] = {{0, 0}, {4, 0}, {4, 4}};
    GrPolygon(3, outline, one);
    EXPECT_EQ(picture(nullptr, 0, 0, 5, 4), "#####.\n.#..#.\n..#.#.\n...##.\n....#.\n");
    int single[1][2] = {{7, 7}};
    GrClearContext(0);
    GrPolygon(1, single, one);
    GrPolygon(0, single, one);
    GrFilledConvexPolygon(0, single, one);
    EXPECT_EQ(count_value(one), 1);
}

// How circles of each radius look is held by the golden pictures (every data mark is one), by the radius property
// and by the span tables below; here the degenerate ones, and shapes far larger than the context.
TEST_F(MemoryMode, DegenerateAndHugeShapes)
{
    GrCircle(3, 3, 0, one);
    EXPECT_EQ(count_value(one), 1);
    EXPECT_EQ(GrPixelC(nullptr, 3, 3), one);
    // A flat ellipse is a clipped line.
    GrClearContext(0);
    GrEllipse(5, 5, 20, 0, one);
    GrFilledEllipse(3, 6, 0, -2, 2);
    EXPECT_EQ(count_value(one), 15);
    EXPECT_EQ(count_value(2), 5);
    EXPECT_EQ(picture(nullptr, 2, 3, 4, 9), "...\n.+.\n#+#\n.+.\n.+.\n.+.\n...\n");

    GrFilledCircle(0, 0, INT_MAX, one);
    EXPECT_EQ(count_value(one), 16 * 12);
    GrClearContext(0);
    GrCircle(8, 6, INT_MAX, one);
    GrEllipse(INT_MIN, INT_MAX, INT_MAX, INT_MIN, one);
    GrFilledEllipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX, one);
    EXPECT_EQ(count_value(one), 0);
    // A disc whose edge crosses the screen: its column 0 ends where the circle does.
    GrFilledEllipse(-1000000, 5, 1000005, 1000000, one);
    EXPECT_EQ(GrPixelC(nullptr, 5, 5), one);
    EXPECT_EQ(GrPixelC(nullptr, 7, 5), 0U);

    // Polygons of millions of points far outside.
    GrClearContext(0);
    constexpr int n = 2000000;
    std::vector<int> flat(2 * n);
    auto* pts = reinterpret_cast<int(*)[2]>(flat.data());
    for (int i = 0; i < n; ++i) {
        double t = 2 * std::numbers::pi * i / n;
        pts[i][0] = 8 + (int)std::lround(1e8 * std::cos(t));
        pts[i][1] = 6 - (int)std::lround(1e8 * std::sin(t));
    }
    GrPolygon(n, pts, one);
    EXPECT_EQ(count_value(one), 0);
    GrFilledConvexPolygon(n, pts, one);
    EXPECT_EQ(count_value(one), 16 * 12);
}

// Large ellipses are outlined through their points, which are kept from one ellipse to the next of the same size:
// the pixels at a place are the same whichever ellipse came before, and the points follow the centre.
TEST_F(MemoryMode, LargeEllipsesAreTheSameAfterAnyOther)
{
    set_mode(300, 220);
    const int places[][2] = {{150, 110}, {20, 200}, {-60, 30}};
    const int sizes[][2] = {{150, 130}, {-150, 130}, {150, -300}, {400, 125}}; // past the scan tables
    for (const auto& size : sizes) {
        for (const auto& at : places) {
            std::string after[3];
            for (const int before : {0, 1, 2}) {
                GrEllipse(0, 0, 250, 250, 2);
                GrEllipse(at[0] + 7, at[1] - 3, size[0] + (before == 0 ? 13 : 0), size[1] + (before == 1 ? 13 : 0), 2);
                GrClearScreen(0);
                GrEllipse(at[0], at[1], size[0], size[1], xor_one);
                GrFilledEllipse(at[0], 220 - at[1], size[0], size[1], xor_one);
                after[before] = picture(GrScreenContext(), 0, 0, 299, 219);
            }
            ASSERT_TRUE(after[0] == after[1] && after[1] == after[2])
                << size[0] << "x" << size[1] << " at " << at[0] << "," << at[1];
            ASSERT_GT(std::count(after[0].begin(), after[0].end(), '#'), 100);
        }
        int first[1024][2], moved[1024][2];
        const int n = GrGenerateEllipse(0, 0, size[0], size[1], first);
        ASSERT_EQ(GrGenerateEllipse(40, -25, size[0], size[1], moved), n);
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(moved[i][0] == first[i][0] + 40 && moved[i][1] == first[i][1] - 25) << i;
    }
}

// The scaling behind clipping and ellipse points: x * n / d rounded to nearest, halves away from zero, for factors
// on both sides of 2^31 (below it the product is formed in 64 bits, above it in 128).
TEST(Scaling, RoundsHalvesAwayFromZeroAtEverySize)
{
    __extension__ typedef __int128 wide;
    const auto exact = [](long long x, long long n, long long d) {
        const wide p = (wide)x * n;
        wide q = p / d;
        const wide rest = p % d;
        if (2 * (rest < 0 ? -rest : rest) >= (d < 0 ? -(wide)d : d))
            q += (p < 0) == (d < 0) ? 1 : -1;
        return (long long)q;
    };
    std::mt19937_64 rng(5);
    const long long edges[] = {0, 1, 2, 3, 16384, (1LL << 31) - 1, 1LL << 31, (1LL << 31) + 1, 3037000499LL};
    for (int i = 0; i < 200000; ++i) {
        const auto pick = [&](int bits) {
            const long long v = i % 3 == 0 ? edges[rng() % std::size(edges)] : (long long)(rng() >> (64 - bits));
            return rng() % 2 != 0 ? -v : v;
        };
        const long long x = pick(1 + (int)(rng() % 33)), n = pick(1 + (int)(rng() % 33));
        long long d = pick(1 + (int)(rng() % 40));
        if (d == 0)
            d = 16384;
        ASSERT_EQ(twgr::irscale(x, n, d), exact(x, n, d)) << x << " * " << n << " / " << d;
    }
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
        GrColor k = (GrColor)(round % 4) << 24 | 3;
        int tri[3][2] = {{a, b}, {c, d}, {coord(), coord()}};
        const std::function<void()> draw[] = {
            [&] { GrLine(a, b, c, d, k); },     [&] { GrBox(a, b, c, d, k); },
            [&] { GrCircle(a, b, c, k); },      [&] { GrFilledCircle(a, b, c, k); },
            [&] { GrEllipse(a, b, c, d, k); },  [&] { GrFilledEllipse(a, b, c, d, k); },
            [&] { GrPolygon(3, tri, k); },      [&] { GrFilledConvexPolygon(3, tri, k); },
            [&] { GrPlot(a % 20, b % 20, k); }, [&] { GrFilledEllipse(a % 30, b % 30, c % 200, d % 200, k); },
        };
        draw[pick(rng)]();
        GrSetContext(nullptr);
        GrDestroyContext(sub);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                if (x < 12 || x > 22 || y < 9 || y > 17) {
                    ASSERT_EQ(GrPixelC(nullptr, x, y), canary) << "round " << round << " at " << x << "," << y;
                }
    }
}

} // namespace
