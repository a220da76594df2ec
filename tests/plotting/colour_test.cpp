// Colour by value on a memory page, read back pixel by pixel: the maps' levels, coloured marks, density shading,
// area rings and the data sets' disc fills (the colour bar, linear and log, is in the pictures of the cases
// colour/column_by_name and colour/density_counts).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "data/data_set.h"
#include "plot/colour_scale.h"
#include "plot/density.h"
#include "plot/marks.h"
#include "plot/scale_mapping.h"
#include "plot_fixture.h"

namespace
{

using plot_test::page_pixel;
using plot_test::PlotPage;

struct rgb3 {
    int r, g, b;
    bool operator==(const rgb3&) const = default;
};

rgb3 decoded(int x, int y)
{
    rgb3 c{};
    GrQueryColor(page_pixel(x, y), &c.r, &c.g, &c.b);
    return c;
}

// What the palette makes of a map level's colour: the colour a pixel of that level decodes to.
rgb3 palette_of(const RGB& c)
{
    rgb3 out{};
    GrQueryColor(GrAllocColor(c.r, c.g, c.b), &out.r, &out.g, &out.b);
    return out;
}

rgb3 level_rgb(int map, int level)
{
    return palette_of(map_level_rgb(colour_maps[map], level));
}

// The level a value takes by the rule: its share of lo..hi in 128 equal steps, the ends clamped.
int expected_level(double v, double lo, double hi)
{
    const double f = std::clamp((v - lo) / (hi - lo), 0.0, 1.0);
    return std::min(127, static_cast<int>(std::floor(f * 128)));
}

std::uint32_t packed(const RGB& c)
{
    return (static_cast<std::uint32_t>(c.r) << 16) | (c.g << 8) | c.b;
}

TEST(ColourMaps, LevelsRunThroughEachTableFromEndToEnd)
{
    for (int m = 0; m < colour_map_count; ++m) {
        const colour_map_table& t = colour_maps[m];
        SCOPED_TRACE(t.name);
        EXPECT_EQ(packed(map_level_rgb(t, 0)), t.colours[0]);
        EXPECT_EQ(packed(map_level_rgb(t, colour_levels - 1)), t.colours[t.count - 1]);
        // Each level lies between the two table colours it is interpolated from.
        for (int l = 0; l < colour_levels; ++l) {
            const double at = static_cast<double>(l) / (colour_levels - 1) * static_cast<double>(t.count - 1);
            const std::size_t below = static_cast<std::size_t>(at);
            const std::uint32_t a = t.colours[below], b = t.colours[std::min(below + 1, t.count - 1)];
            const RGB c = map_level_rgb(t, l);
            const int got[3] = {c.r, c.g, c.b};
            for (int k = 0; k < 3; ++k) {
                const int shift = 16 - 8 * k;
                const int ca = (a >> shift) & 255, cb = (b >> shift) & 255;
                EXPECT_GE(got[k], std::min(ca, cb)) << "level " << l;
                EXPECT_LE(got[k], std::max(ca, cb)) << "level " << l;
            }
        }
    }
}

class Colour : public PlotPage
{
protected:
    void SetUp() override
    {
        open_page(200, 150);
        alloc_colors();
        alloc_colour_levels();
        Xscale.set(0, 200, 200);
        Yscale.set(0, 150, 150);
    }
    // One single-pixel mark (radius 0) per value, at x = 10, 20, ... on row 75 of the page.
    static data marks_of(const std::vector<double>& values)
    {
        data d;
        for (std::size_t i = 0; i < values.size(); ++i) {
            d.x.push_back(10.0 * static_cast<double>(i + 1));
            d.y.push_back(75);
            d.z.push_back(0.4);
            d.c.push_back(values[i]);
        }
        d.mod_minmax.z.Min = -10;
        d.mod_minmax.z.Max = 10;
        return d;
    }
    static int row_of(double y) { return 150 - trunc_pixel(Yscale.scale(y)); }
};

TEST_F(Colour, MarkTakesTheMapColourOfItsValueAndTheEndsClampTheRange)
{
    const std::vector<double> values{-5, 0, 1.3, 2.5, 3.99, 5, 7.7, 10, 12};
    data d = marks_of(values);
    for (const bool clamped : {false, true}) {
        SCOPED_TRACE(clamped ? "--minc=1 --maxc=8" : "the data's range");
        GrClearScreen(colors[COLOR_BG]);
        min_c = clamped ? 1.0 : std::nan("");
        max_c = clamped ? 8.0 : std::nan("");
        const colour_scale s = value_colour_scale(-5, 12, 1.3);
        plot_data(d, 150, COLOR_FG0, &s);
        const double lo = clamped ? 1 : -5, hi = clamped ? 8 : 12;
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(decoded(10 * static_cast<int>(i + 1), row_of(75)),
                      level_rgb(0, expected_level(values[i], lo, hi)))
                << "value " << values[i];
    }
}

// The diverging maps' range made symmetric about 0, and a disc of negative z filled with its value's colour inside
// its data set's rim, are the case colour/column_by_name.
TEST_F(Colour, LogScalesPlaceTheirMiddleAndRowsWithoutAValueAreNotDrawn)
{
    log_c = 1;
    const colour_scale log_scale = value_colour_scale(-3, 100, 1);
    EXPECT_EQ(log_scale.level(10), 64) << "10 lies halfway from 1 to 100 in decades";
    EXPECT_EQ(log_scale.level(-3), 0) << "values <= 0 take the first colour";
    EXPECT_EQ(log_scale.level(std::nan("")), -1);
    // The reader leaves such rows out; plot_data draws none that reach it.
    GrClearScreen(colors[COLOR_BG]);
    data d = marks_of({std::nan("")});
    d.z[0] = -4; // a disc, whose rim takes the data set's colour
    plot_data(d, 150, COLOR_FG0, &log_scale);
    EXPECT_EQ(plot_test::drawn_pixels(), 200 * 150) << "the page stays background (value 15, white)";
}

TEST_F(Colour, DataSetsFillTheirDiscsWithATintOfTheirColour)
{
    data d = marks_of({0});
    d.c.clear();
    d.z[0] = -4;
    const int y = row_of(75);
    const RGB own = FgColors[3];
    plot_data(d, 150, COLOR_FG0 + 3);
    EXPECT_EQ(page_pixel(10, y), colors[COLOR_FILL]) << "without --set-fills every data set keeps the fill colour";
    set_fills = 1;
    plot_data(d, 150, COLOR_FG0 + 3);
    EXPECT_EQ(decoded(10, y),
              palette_of({static_cast<std::uint8_t>((own.r + 256) / 2), static_cast<std::uint8_t>((own.g + 256) / 2),
                          static_cast<std::uint8_t>((own.b + 256) / 2)}));
    EXPECT_EQ(page_pixel(14, y), colors[COLOR_FG0 + 3]);
    plot_data(d, 150, COLOR_FG0);
    EXPECT_EQ(page_pixel(10, y), colors[COLOR_FILL]) << "data set 0 keeps the fill colour";
    fill_color_given = 1;
    plot_data(d, 150, COLOR_FG0 + 3);
    EXPECT_EQ(page_pixel(10, y), colors[COLOR_FILL]) << "--fillcolor fills every data set's discs";
    EXPECT_EQ(page_pixel(14, y), colors[COLOR_FILLRING]);
}

// The level of a bar pixel, found among the levels' palette colours; -1 for none.
int level_of_pixel(int x, int y)
{
    const GrColor v = page_pixel(x, y);
    for (int l = 0; l < colour_levels; ++l)
        if (level_colors[l] == v)
            return l;
    return -1;
}

// k rows on each of four pixels, far apart: k = 1, 10, 100, 1000; one more pixel with the mean of colours.
data rows_on_pixels()
{
    data d;
    const int ks[] = {1, 10, 100, 1000};
    for (int j = 0; j < 4; ++j)
        for (int n = 0; n < ks[j]; ++n) {
            d.x.push_back(20.0 + 40 * j);
            d.y.push_back(50);
            d.z.push_back(1);
        }
    d.minmax.z.Min = 0;
    d.minmax.z.Max = 2;
    d.mod_minmax.z = d.minmax.z;
    return d;
}

TEST_F(Colour, DensityShadesCountsKnownByConstruction)
{
    data sets[10];
    sets[0] = rows_on_pixels();
    const int rangex = 199, rangey = 149;
    struct expectation {
        int kind;
        int levels[4];
    };
    // log: log10 k / 3 of the way; linear: k / 1000; eqhist: the counts' ranks, a third apart.
    const expectation cases[] = {
        {DENSITY_LOG, {0, 42, 85, 127}}, {DENSITY_LINEAR, {0, 1, 12, 127}}, {DENSITY_EQHIST, {0, 42, 85, 127}}};
    for (const expectation& e : cases) {
        SCOPED_TRACE(e.kind);
        GrClearScreen(colors[COLOR_BG]);
        const density_grid g = count_rows(sets, rangex, rangey, false);
        const colour_scale s = count_scale(g, e.kind);
        draw_density(g, s);
        const int y = 149 - trunc_pixel(Yscale.scale(50));
        for (int j = 0; j < 4; ++j) {
            const int x = 20 + 40 * j;
            EXPECT_EQ(g.count[g.at(x, y)], static_cast<std::uint32_t>(std::pow(10, j)));
            // A lone pixel is spread to 2 x 2; the pixels around the block stay background.
            for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}})
                EXPECT_EQ(level_of_pixel(x + dx, y + dy), e.levels[j]) << "count " << std::pow(10, j);
            EXPECT_EQ(page_pixel(x - 1, y), colors[COLOR_BG]);
            EXPECT_EQ(page_pixel(x + 2, y + 2), colors[COLOR_BG]);
        }
    }
    // With a colour column, each pixel takes the mean of its rows' values.
    sets[0].c.assign(sets[0].x.size(), 0.0);
    for (std::size_t i = 0; i < 1111; ++i)
        sets[0].c[i] = i % 2 == 0 ? 2.0 : 6.0; // 1 row of 2, then means near 4
    const density_grid g = count_rows(sets, rangex, rangey, true);
    const int y = 149 - trunc_pixel(Yscale.scale(50));
    EXPECT_DOUBLE_EQ(pixel_value(g, g.at(20, y)), 2.0);
    EXPECT_DOUBLE_EQ(pixel_value(g, g.at(60, y)), 4.0) << "five rows of 6 and five of 2";
}

// The rings drawn at these radii are the case colour/area_rings_legend.
TEST_F(Colour, AreaRadiiFollowTheSquareRootOfZ)
{
    area_rings = 1;
    z_area_reference = 100;
    Zscale.per_z = 0.2; // the reference's ring keeps 20 pixels
    EXPECT_DOUBLE_EQ(scale_z(100), 20);
    EXPECT_DOUBLE_EQ(scale_z(25), 10);
    EXPECT_DOUBLE_EQ(scale_z(-4), -4);
    EXPECT_DOUBLE_EQ(scale_z(1), 2);
    // --min-ring keeps z near 0 visible, a disc below 0 too.
    min_ring = 3;
    EXPECT_DOUBLE_EQ(scale_z(0.01), 3);
    EXPECT_DOUBLE_EQ(scale_z(0), 3);
    EXPECT_DOUBLE_EQ(scale_z(-0.01), -3);
    EXPECT_DOUBLE_EQ(scale_z(100), 20);
}

} // namespace
