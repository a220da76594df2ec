// The whole job through the built program: pages saved as PNG files, decoded and checked pixel by pixel
// against the layout worked out by hand, and the messages of the run.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"

namespace
{

using test_support::png_image;
using test_support::read_png;
using test_support::rgb;
using test_support::run_tremwil;
using test_support::TempDir;

const rgb white{255, 255, 255};
const rgb black{0, 0, 0};
const rgb blue{0, 0, 255};
const rgb red{255, 0, 0};
const rgb fill{255, 128, 0};
const rgb fill_ring{255, 64, 0};

// x and y from 0 to 10 (so the y labels "0".."10" are 18 pixels wide with the margin), z from -3 to 3.
// On the default 640 x 480 page: plot area x 25..627, y 20..459; the frame one pixel outside.
// (5, 4, 3): column 25 + trunc(5.2 * 602 / 10.4 + 0.5) = 326, row 20 + 439 - trunc(4.2 * 439 / 10.4 + 0.5) = 282.
// (2, 8, -3): column 25 + 127 = 152, row 20 + 439 - 346 = 113.
const char* const typical_data = "# x y z\n0 0 1\n10 10 2\n5 4 3\n2 8 -3\n";

// Runs tremwil on typ.dat with the colour of data set 0 blue, and decodes typ.png.
struct typical_run {
    TempDir dir;
    test_support::RunResult run;
    std::optional<png_image> png;

    explicit typical_run(std::vector<std::string> extra, const char* rows = typical_data)
    {
        dir.write("typ.dat", rows);
        std::vector<std::string> args{"--in-memory", "--fg0color=0,0,255", "-x", "1", "-y", "2", "-z", "3"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("typ.dat");
        run = run_tremwil(args, dir.path());
        png = read_png(dir / "typ.png");
    }
    testing::AssertionResult ok() const
    {
        if (run.status == 0 && png.has_value())
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "status " << run.status << ", picture " << png.has_value() << ": " << run.err;
    }
};

struct pixel {
    int x, y;
    rgb c;
};
void expect_pixels(const png_image& png, const std::vector<pixel>& want)
{
    for (const pixel& p : want)
        EXPECT_EQ(png.at(p.x, p.y), p.c) << "at " << p.x << ", " << p.y;
}

// Every pixel of the rectangle's outline has colour c.
void expect_outline(const png_image& png, int x0, int y0, int x1, int y1, rgb c)
{
    EXPECT_EQ(png.count(c, x0, y0, x0, y1), y1 - y0 + 1) << "left column " << x0;
    EXPECT_EQ(png.count(c, x1, y0, x1, y1), y1 - y0 + 1) << "right column " << x1;
    EXPECT_EQ(png.count(c, x0, y0, x1, y0), x1 - x0 + 1) << "top row " << y0;
    EXPECT_EQ(png.count(c, x0, y1, x1, y1), x1 - x0 + 1) << "bottom row " << y1;
}

TEST(PicturePage, TypicalRequestHasFrameRingsAndDiscsWhereTheScalesPutThem)
{
    typical_run t({});
    ASSERT_TRUE(t.ok());
    const png_image& png = *t.png;
    EXPECT_EQ(png.width, 640);
    EXPECT_EQ(png.height, 480);
    EXPECT_EQ(png.bit_depth, 8);
    EXPECT_EQ(png.color_type, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(png.interlace, PNG_INTERLACE_NONE);
    expect_outline(png, 24, 19, 628, 460, black);
    // Inside the frame only the marks: the corners of the plot area are background. A ring of radius 3: its
    // four extreme points in data set 0's colour, its centre empty. Negative z: a filled disc with its rim.
    const std::vector<pixel> points = {{25, 20, white},  {627, 459, white}, {323, 282, blue},      {329, 282, blue},
                                       {326, 279, blue}, {326, 285, blue},  {326, 282, white},     {330, 282, white},
                                       {152, 113, fill}, {151, 112, fill},  {155, 113, fill_ring}, {156, 113, white}};
    expect_pixels(png, points);
    // The path is written centred just above the frame, never inside it.
    EXPECT_GT(png.count(black, 0, 0, 639, 18), 0);
}

TEST(PicturePage, WithoutColourNegativeZTakesTheFirstDataSetColour)
{
    typical_run t({"--nocolor"});
    ASSERT_TRUE(t.ok());
    const std::vector<pixel> points = {{152, 113, blue}, {155, 113, blue}};
    expect_pixels(*t.png, points);
    EXPECT_EQ(t.png->count(fill), 0);
}

TEST(PicturePage, MarginsFollowTitleLeftOffsetAndTheZLegend)
{
    {
        // Title and path in a 16-pixel font: a top margin of 32, the plot 12 rows shorter.
        typical_run t({"--title=T"});
        ASSERT_TRUE(t.ok());
        expect_outline(*t.png, 24, 31, 628, 460, black);
        EXPECT_EQ(t.png->at(24, 30), white);
        // The title is centred on the page in its top 16 rows.
        EXPECT_GT(t.png->count(black, 312, 0, 327, 15), 0);
    }
    {
        // A fixed left margin of 100: the plot is 639 - 100 - 50 = 489 wide.
        typical_run t({"--left-offset=100"});
        ASSERT_TRUE(t.ok());
        expect_outline(*t.png, 99, 19, 590, 460, black);
    }
    {
        // The z legend widens the page by its 50-pixel column and draws filled rings there.
        typical_run t({"--scaleinfo"});
        ASSERT_TRUE(t.ok());
        EXPECT_EQ(t.png->width, 690);
        EXPECT_EQ(t.png->height, 480);
        EXPECT_GT(t.png->count(fill, 600, 0, 689, 479), 0);
        EXPECT_GT(t.png->count(fill_ring, 600, 0, 689, 479), 0);
    }
}

// Titles, labels and --text are UTF-8 (the path line too; it is left out here, as its folder differs per run): "°C",
// "µm", "±" and "é" draw exactly as the code page 437 cells of the built-in font named byte by byte (bytes that are not
// UTF-8 draw as their cell), so two letters are two cells wide and the centred title stays centred.
TEST(PicturePage, Utf8TextsDrawTheirCharacters)
{
    const auto page = [](const std::string& text) {
        typical_run t({"--nopath", "--title=" + text, "--xlabel=" + text, "--ylabel=" + text, "--text=5,5," + text});
        EXPECT_TRUE(t.ok()) << text;
        return t.png.has_value() ? t.png->pixels : std::vector<png_byte>{};
    };
    const std::pair<const char*, const char*> texts[] = {
        {"T \302\260C \302\265m", "T \370C \346m"}, // octal: "\xB0C" would be one escape
        {"\302\261 caf\xC3\xA9", "\361 caf\x82"},
    };
    for (const auto& [utf8, cells] : texts) {
        const auto want = page(cells);
        ASSERT_FALSE(want.empty());
        EXPECT_TRUE(page(utf8) == want) << cells;
    }
}

// A clock axis over a whole day: hourly ticks every 25 pixels under labels 40 pixels wide. The labels drawn
// (the ink of the lowest 9 rows, below the ticks, in runs apart by a character's width at least) are each one label
// wide, there are several, and none touches the page edge.
TEST(PicturePage, TimeAxisLabelsStayApartAndOnThePage)
{
    typical_run t({"--nopath", "--x-time"}, "# x y z\n0 0 1\n86400 10 2\n");
    ASSERT_TRUE(t.ok());
    const png_image& png = *t.png;
    int lowest = png.height - 1;
    while (lowest > 0 && png.count(white, 0, lowest, png.width - 1, lowest) == png.width)
        --lowest;
    std::vector<int> inked;
    for (int x = 0; x < png.width; ++x)
        if (png.count(white, x, lowest - 8, x, lowest) < 9)
            inked.push_back(x);
    ASSERT_FALSE(inked.empty());
    EXPECT_GT(inked.front(), 0);
    EXPECT_LT(inked.back(), png.width - 1);
    std::vector<std::pair<int, int>> runs{{inked[0], inked[0]}};
    for (int x : inked) {
        if (x - runs.back().second > 8)
            runs.push_back({x, x});
        runs.back().second = x;
    }
    EXPECT_GE(runs.size(), 5u);
    for (const auto& [from, to] : runs)
        EXPECT_LE(to - from + 1, 40) << "labels run together from column " << from << " to " << to;
}

TEST(PicturePage, OverlaysLieOverTheDataInTheMiscColour)
{
    // A horizontal line at y = 4 runs through the ring's centre row over the whole plot width.
    typical_run t({"--hline=4", "--circle=5,4,2"});
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t.png->count(red, 25, 282, 627, 282), 603);
    // The circle of radius 2 data units: half-axes of 417 - 301 = 116 and 262 - 177 = 85 pixels.
    const std::vector<pixel> points = {
        {323, 282, red}, {326, 282 - 85, red}, {326 + 116, 282, red}, {326, 282 + 85, red}};
    expect_pixels(*t.png, points);
}

TEST(PicturePage, LineModeJoinsRingEdgesAndBreaksAtSkippedPoints)
{
    // With the limits 0..10 on both axes one data unit is 60.2 pixels across and 43.9 up.
    typical_run t({"--line", "--nosort", "--minx=0", "--maxx=10", "--miny=0", "--maxy=10", "--maxz=9"},
                  "0 4 5\n3 4 5\n6 4 9\n9 4 5\n");
    ASSERT_TRUE(t.ok());
    const png_image& png = *t.png;
    const int row = 20 + 439 - 176; // 283
    // Rings at columns 25, 206 and 567 (radius 5); the point with z at the upper limit is skipped.
    EXPECT_EQ(png.at(206 - 5, row), blue);
    EXPECT_EQ(png.count(blue, 31, row, 200, row), 170) << "the line runs from ring edge to ring edge";
    EXPECT_EQ(png.at(206, row), white);
    EXPECT_EQ(png.count(blue, 212, row, 561, row), 0) << "no line to or from the skipped point";
    EXPECT_EQ(png.count(blue, 386 - 6, row - 6, 386 + 6, row + 6), 0);

    // A blank line ends a block: no line across it; a comment line is no block end.
    typical_run blocks({"--line", "--minx=0", "--maxx=10", "--miny=0", "--maxy=10", "--maxz=9"},
                       "0 4 5\n3 4 5\n\n\n6 4 5\n# c\n9 4 5\n");
    ASSERT_TRUE(blocks.ok());
    EXPECT_EQ(blocks.png->count(blue, 31, row, 200, row), 170);
    EXPECT_EQ(blocks.png->count(blue, 212, row, 380, row), 0) << "joined across the blank line";
    EXPECT_EQ(blocks.png->count(blue, 392, row, 561, row), 170);
}

// Where the last text drawn as `text` was placed, from the trace of --debug (page coordinates, or those of
// the plot area for texts drawn inside it).
std::optional<std::pair<int, int>> traced_text(const std::string& err, const std::string& text)
{
    const auto at = err.rfind(") " + text + "\n");
    if (at == std::string::npos)
        return std::nullopt;
    const auto open = err.rfind('(', at);
    return std::pair{std::stoi(err.substr(open + 1)), std::stoi(err.substr(err.find(',', open) + 1))};
}

// The frame's sides: the outermost rows and columns that are more than half black.
struct frame_sides {
    int left = -1, right = -1, top = -1, bottom = -1;
};
frame_sides find_frame(const png_image& png)
{
    frame_sides f;
    for (int y = 0; y < png.height; ++y)
        if (png.count(black, 0, y, png.width - 1, y) > png.width / 2) {
            f.top = f.top < 0 ? y : f.top;
            f.bottom = y;
        }
    for (int x = 0; x < png.width; ++x)
        if (png.count(black, x, 0, x, png.height - 1) > png.height / 2) {
            f.left = f.left < 0 ? x : f.left;
            f.right = x;
        }
    return f;
}

// Columns x0..x1 of row y (or, across, rows of column y) that hold at least `least` pixels of colour c along
// the other direction between from and to.
std::vector<int> lines_with(const png_image& png, bool across, int x0, int x1, int from, int to, int least)
{
    std::vector<int> out;
    for (int k = x0; k <= x1; ++k)
        if ((across ? png.count(black, from, k, to, k) : png.count(black, k, from, k, to)) >= least)
            out.push_back(k);
    return out;
}

std::vector<int> black_at(const png_image& png, bool across, int line, int x0, int x1)
{
    return lines_with(png, across, x0, x1, line, line, 1);
}

TEST(PicturePage, GridDotsAtTheMajorTicksOfTimeAndLogAxesAndAKeyInTheSetsColours)
{
    TempDir dir;
    // y = 10^(hours / 3): four decades on a log y axis over half a day of seconds; the top left stays empty.
    dir.write("up.dat", "0 1 1\n10800 10 1\n21600 100 1\n32400 1000 1\n43200 10000 1\n");
    dir.write("b.dat", "5400 3 1\n27000 300 1\n");
    const auto run = run_tremwil({"--in-memory", "--quiet", "--nopath", "--debug", "--x-time", "--logy", "--grid",
                                  "--key=top-left", "--fg0color=0,0,255", "--fg1color=255,0,0", "--name=Up",
                                  "--name1=Second", "-1", "b.dat", "up.dat"},
                                 dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    const auto png = read_png(dir / "up.png");
    ASSERT_TRUE(png.has_value());
    const frame_sides f = find_frame(*png);
    ASSERT_GT(f.right - f.left, 300);
    ASSERT_GT(f.bottom - f.top, 300);
    // Major ticks alone reach 5 pixels out of the frame (minor ones 2).
    const std::vector<int> x_major = black_at(*png, false, f.bottom + 5, f.left, f.right);
    const std::vector<int> y_major = black_at(*png, true, f.left - 5, f.top, f.bottom);
    ASSERT_GE(x_major.size(), 3u);
    ASSERT_EQ(y_major.size(), 5u) << "the decades 1 to 10000";
    // Decades lie evenly spaced, to the pixel.
    for (std::size_t k = 2; k < y_major.size(); ++k)
        EXPECT_NEAR(y_major[k] - y_major[k - 1], y_major[1] - y_major[0], 1) << k;
    // Grid lines: a dot every third pixel along each major tick, inside the frame only, looked for in the
    // lower and the right half (the key covers the top left). Other lines hold at most the crossing dots.
    const int mid_x = (f.left + f.right) / 2, mid_y = (f.top + f.bottom) / 2;
    const int rows = f.bottom - mid_y - 1;
    std::vector<int> inner_x;
    for (int x : x_major)
        if (x > f.left && x < f.right)
            inner_x.push_back(x);
    EXPECT_EQ(lines_with(*png, false, f.left + 1, f.right - 1, mid_y, f.bottom - 1, rows / 3 - 1), inner_x);
    std::vector<int> right_y;
    for (int y : y_major)
        if (y > f.top && y < f.bottom)
            right_y.push_back(y);
    EXPECT_EQ(lines_with(*png, true, f.top + 1, f.bottom - 1, mid_x, f.right - 1, (f.right - mid_x) / 3 - 1), right_y);
    const int dots = png->count(black, inner_x.back(), f.top + 1, inner_x.back(), f.bottom - 1);
    EXPECT_NEAR(dots, (f.bottom - f.top - 1) / 3, 8) << "dotted, not solid";
    // The key: each name drawn at the row of a ring in its data set's colour, data set 0 first.
    int previous_row = -1;
    for (const auto& [name, colour] : {std::pair<std::string, rgb>{"Up", blue}, {"Second", red}}) {
        const auto at = traced_text(run.err, name);
        ASSERT_TRUE(at.has_value()) << name;
        const auto [name_x, name_y] = *at;
        const int row = f.top + 1 + name_y;
        EXPECT_GT(row, previous_row);
        previous_row = row;
        EXPECT_GE(png->count(colour, f.left + 1, row, f.left + name_x, row), 2) << name;
        EXPECT_EQ(png->count(colour, f.left + 1, row - 12, f.left + name_x + 120, row - 8), 0) << name;
    }
}

// The z legend marks each value as the plot marks it: rings from 0 up in data set 0's colour, discs below 0 in
// the colours of negative z. Found on the row of its label (right-aligned at the traced column): each mark whole
// and right of its label, every label clear of the frame, the largest ring on the page.
TEST(PicturePage, ZLegendMarksAsThePlotWholeBesideItsLabelsAndOnThePage)
{
    const char* const rows = "0 0 1\n1 3 -2\n2 1 4\n3 4 -5\n4 2 6\n5 5 -1.5\n6 3 8\n7 6 -7\n8 4 2.5\n";
    const rgb grey{128, 128, 128};
    struct {
        const char* colours;
        rgb disc, rim;
    } const runs[] = {{"--color", fill, fill_ring}, {"--nocolor", blue, blue}, {"--grey", grey, fill_ring}};
    // The radius is the value times the scale of 4.
    const std::pair<const char*, int> entries[] = {{"8", 32}, {"2", 8}, {"-2", -8}, {"-6", -24}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.colours);
        typical_run t({run.colours, "--debug", "--nopath", "--scaleinfo", "--scalez=4"}, rows);
        ASSERT_TRUE(t.ok());
        const png_image& png = *t.png;
        const frame_sides f = find_frame(png);
        ASSERT_GT(f.right, png.width / 2);
        EXPECT_EQ(png.count(black, f.right, f.top, f.right, f.bottom), f.bottom - f.top + 1) << "frame whole";
        for (const auto& [label, radius] : entries) {
            SCOPED_TRACE(label);
            const auto at = traced_text(t.run.err, label);
            ASSERT_TRUE(at.has_value());
            const auto [x, y] = *at;
            EXPECT_GT(x - 8 * static_cast<int>(std::string(label).size()) + 1, f.right) << "label over the frame";
            const int r = std::abs(radius);
            ASSERT_TRUE(y - r >= 0 && y + r < png.height);
            int left = x + 1;
            while (left < png.width && png.at(left, y) == white)
                ++left;
            ASSERT_LT(left + 2 * r, png.width) << "mark cut at the page edge";
            if (radius > 0) {
                EXPECT_EQ(png.count(blue, x + 1, y, png.width - 1, y), 2) << "a ring";
                EXPECT_EQ(png.at(left, y), blue);
                EXPECT_EQ(png.at(left + 2 * r, y), blue);
            } else {
                EXPECT_EQ(png.at(left, y), run.rim);
                EXPECT_EQ(png.at(left + 2 * r, y), run.rim);
                EXPECT_EQ(png.count(run.disc, left + 1, y, left + 2 * r - 1, y), 2 * r - 1) << "a whole disc";
            }
            EXPECT_EQ(png.count(white, left + 2 * r + 1, y, png.width - 1, y), png.width - 1 - left - 2 * r);
        }
    }
}

// A time axis dates the page by its earliest time, whatever row comes first after the sort by z, and a path too
// long for the row above the frame is shortened so that it leaves the date whole: the date's corner of the
// page equals that of a plot whose earliest row comes first and that shows no path, up to a character beyond
// the date, and the path is drawn after it.
TEST(PicturePage, DateIsTheEarliestAndThePathLeavesItWhole)
{
    TempDir dir;
    const std::string deep = "a-rather-long-folder-name/with/deep/nested/folders/for/the/measurement/runs/of/june";
    std::filesystem::create_directories(dir / deep);
    // 2024-06-02, 03, 01: the earliest has the largest z, so the sort puts it last.
    dir.write(deep + "/run1.dat", "1717300000 3 2\n1717400000 4 1\n1717200000 1 3\n");
    dir.write("first.dat", "1717200000 1 1\n1717300000 3 1\n1717400000 4 1\n");
    const auto page = [&dir](const std::string& file, std::vector<std::string> options) {
        options.insert(options.end(), {"--in-memory", "--x-time", "-o", "p.png", file});
        const auto run = run_tremwil(options, dir.path());
        EXPECT_EQ(run.status, 0) << run.err;
        return read_png(dir / "p.png").value_or(png_image{});
    };
    const png_image sorted = page(deep + "/run1.dat", {"--nopath"});
    const png_image earliest_first = page("first.dat", {"--nopath"});
    const png_image with_path = page(deep + "/run1.dat", {});
    ASSERT_EQ(sorted.width, 640);
    const frame_sides f = find_frame(sorted);
    const int date_end = f.left + 1 + 8 * 14; // "x: 2024-06-01 "
    const auto corner_equal = [&](const png_image& a, const png_image& b) {
        for (int y = 0; y < f.top; ++y)
            for (int x = 0; x < date_end + 8; ++x)
                if (!(a.at(x, y) == b.at(x, y)))
                    return false;
        return a.width == b.width;
    };
    EXPECT_GT(sorted.count(black, f.left + 1, 0, date_end - 1, f.top - 1), 0) << "a date is drawn";
    EXPECT_TRUE(corner_equal(sorted, earliest_first)) << "the date is not the earliest";
    EXPECT_TRUE(corner_equal(with_path, sorted)) << "the path is drawn over the date";
    EXPECT_GT(with_path.count(black, date_end + 8, 0, with_path.width - 1, f.top - 1), 100) << "the path is drawn";
}

} // namespace
