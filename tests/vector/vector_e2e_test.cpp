// SVG and PDF pictures end to end: the files rendered by real renderers (rsvg-convert, pdftoppm) and the images
// they hold, compared with the PNG the same options save (their texts and metadata, names, formats, the values
// refused and failed writes are case files, tests/cases/vector).

// GCC 12 warns falsely inside <regex> when it optimises with the sanitizers (std::function copied in the NFA).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>

#include "test_support.h"

using test_support::read_file;
using test_support::run_shell;
using test_support::run_tremwil;
using test_support::TempDir;

namespace
{

// A picture as RGB rows, read through libpng's simplified interface (transparency composed over white).
struct picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    bool dark(int x, int y) const { return at(x, y)[0] + at(x, y)[1] + at(x, y)[2] < 3 * 100; }
    bool red(int x, int y) const { return at(x, y)[0] > 150 && at(x, y)[1] < 110 && at(x, y)[2] < 110; }
};

picture read_picture(const std::filesystem::path& path)
{
    ::png_image image{};
    image.version = PNG_IMAGE_VERSION;
    picture p;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return p;
    image.format = PNG_FORMAT_RGB;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    const png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, p.rgb.data(), 0, nullptr))
        return {};
    p.width = static_cast<int>(image.width);
    p.height = static_cast<int>(image.height);
    return p;
}

// The frame: the longest dark row and column runs on each side of the page's middle.
struct frame_edges {
    int left = -1, right = -1, top = -1, bottom = -1;
};

frame_edges find_frame(const picture& p)
{
    // The line (column or row) with the most dark pixels in each half of the page.
    const auto longest = [&p](bool columns, int& first_half, int& second_half) {
        const int lines = columns ? p.width : p.height, length = columns ? p.height : p.width;
        int best[2] = {0, 0};
        for (int i = 0; i < lines; ++i) {
            int n = 0;
            for (int j = 0; j < length; ++j)
                n += (columns ? p.dark(i, j) : p.dark(j, i)) ? 1 : 0;
            const int half = i < lines / 2 ? 0 : 1;
            if (n > best[half]) {
                best[half] = n;
                (half == 0 ? first_half : second_half) = i;
            }
        }
    };
    frame_edges f;
    longest(true, f.left, f.right);
    longest(false, f.top, f.bottom);
    return f;
}

// The share of the red pixels of a that have a red pixel of b within one pixel.
double red_covered(const picture& a, const picture& b)
{
    int red = 0, covered = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            if (!a.red(x, y))
                continue;
            ++red;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = x + dx >= 0 && y + dy >= 0 && x + dx < b.width && y + dy < b.height && b.red(x + dx, y + dy);
            covered += near ? 1 : 0;
        }
    return red == 0 ? 0.0 : static_cast<double>(covered) / red;
}

// Columns of the dark pixels in rows y0..y1: the first and the last.
std::pair<int, int> dark_columns(const picture& p, int y0, int y1)
{
    int first = p.width, last = -1;
    for (int y = y0; y <= y1; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.dark(x, y)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

// Rings of radius 6 to 14 in red on a white page, with texts of every kind around them.
std::string ring_rows(int n)
{
    std::ostringstream rows;
    for (int i = 0; i < n; ++i)
        rows << i << " " << (i * 7) % 11 << " " << 3 + i % 5 << "\n";
    return rows.str();
}

const std::vector<std::string> page_options = {
    "--in-memory", "--fgcolor=220,0,0", "--scalez=2", "--title=Ring count", "--xlabel=time", "--ylabel=level", "--key",
    "--grid",      "--text=2,9,note"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

void render(const TempDir& dir)
{
    ASSERT_EQ(run_shell(dir, "rsvg-convert out.svg -o svg.png").status, 0);
    ASSERT_EQ(run_shell(dir, "pdftoppm -png -r 72 -singlefile out.pdf pdf").status, 0);
}

} // namespace

TEST(VectorPictures, SvgAndPdfShowThePngPage)
{
    TempDir dir;
    dir.write("rings.dat", ring_rows(12));
    for (const char* name : {"out.png", "out.svg", "out.pdf"}) {
        const auto r = run_tremwil(with(page_options, {"-o", name, "rings.dat"}), dir.path());
        ASSERT_EQ(r.status, 0) << name << r.err;
    }
    render(dir);
    const picture png = read_picture(dir / "out.png");
    ASSERT_EQ(png.width, 640);
    const frame_edges want = find_frame(png);
    for (const char* rendered : {"svg.png", "pdf.png"}) {
        SCOPED_TRACE(rendered);
        const picture p = read_picture(dir / rendered);
        ASSERT_EQ(p.width, png.width);
        ASSERT_EQ(p.height, png.height);
        const frame_edges got = find_frame(p);
        EXPECT_NEAR(got.left, want.left, 1);
        EXPECT_NEAR(got.right, want.right, 1);
        EXPECT_NEAR(got.top, want.top, 1);
        EXPECT_NEAR(got.bottom, want.bottom, 1);
        // The same rings in the same places: nearly every red pixel of each has one of the other beside it.
        EXPECT_GT(red_covered(png, p), 0.9);
        EXPECT_GT(red_covered(p, png), 0.9);
        // The title in its row, where the PNG has it, within a character cell's margin.
        const auto [png_first, png_last] = dark_columns(png, 0, 15);
        const auto [first, last] = dark_columns(p, 0, 15);
        EXPECT_NEAR(first, png_first, 4);
        EXPECT_NEAR(last, png_last, 4);
    }
}

TEST(VectorPictures, MarksOverTheLimitBecomeThePlotAreaOfThePng)
{
    TempDir dir;
    dir.write("rings.dat", ring_rows(6));
    // The image holds the plot area as the marks leave it (the grid under them included); the key and the overlays
    // are drawn over it as shapes and text (as tests/cases/vector/limit_marks_become_an_image.case shows, with where
    // the limit falls), so the image equals the PNG's plot area on a page without them.
    const std::vector<std::string> bare = {"--in-memory", "--fgcolor=220,0,0", "--scalez=2", "--title=Ring count",
                                           "--grid",      "--vector-limit=5"};
    for (const char* name : {"out.png", "out.svg", "out.pdf"})
        ASSERT_EQ(run_tremwil(with(bare, {"-o", name, "rings.dat"}), dir.path()).status, 0);
    const std::string svg = read_file(dir / "out.svg");
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(svg, m, std::regex("<image x=\"(\\d+)\" y=\"(\\d+)\" width=\"(\\d+)\" height=\"(\\d+)\"")));
    const int x0 = std::stoi(m[1]), y0 = std::stoi(m[2]), w = std::stoi(m[3]), h = std::stoi(m[4]);
    // The image's bytes are taken by position: a regular expression over the long base64 text recurses per
    // character in the standard library and overflows the stack of the sanitizer build.
    const std::size_t data_at = svg.find("base64,", static_cast<std::size_t>(m.position(0)));
    ASSERT_NE(data_at, std::string::npos);
    const std::size_t data_end = svg.find('"', data_at);
    ASSERT_NE(data_end, std::string::npos);
    dir.write("image.b64", svg.substr(data_at + 7, data_end - data_at - 7));
    ASSERT_EQ(run_shell(dir, "base64 -d image.b64 > svg_image.png").status, 0);
    ASSERT_EQ(run_shell(dir, "pdfimages -png out.pdf pdf_image").status, 0);
    const picture png = read_picture(dir / "out.png");
    for (const char* extracted : {"svg_image.png", "pdf_image-000.png"}) {
        SCOPED_TRACE(extracted);
        const picture image = read_picture(dir / extracted);
        ASSERT_EQ(image.width, w);
        ASSERT_EQ(image.height, h);
        int differing = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                differing += std::memcmp(image.at(x, y), png.at(x0 + x, y0 + y), 3) != 0 ? 1 : 0;
        EXPECT_EQ(differing, 0);
    }
    // The frame still shows around the image.
    render(dir);
    const frame_edges want = find_frame(png);
    for (const char* rendered : {"svg.png", "pdf.png"}) {
        const frame_edges got = find_frame(read_picture(dir / rendered));
        EXPECT_NEAR(got.left, want.left, 1) << rendered;
        EXPECT_NEAR(got.bottom, want.bottom, 1) << rendered;
    }
}
