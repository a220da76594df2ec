// Tests of PNG export: the written file is decoded with libpng's read interface and compared pixel by
// pixel with the context and the colour table.
#include "gr_fixture.h"
#include "test_support.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace
{

struct decoded {
    png_uint_32 width = 0, height = 0;
    int bit_depth = 0, color_type = 0, interlace = 0;
    std::vector<std::pair<std::string, std::string>> texts;
    std::vector<std::vector<png_byte>> rows;
};

// Reads the whole file; false on any libpng error. Plain data only around the jump point.
bool read_png(std::FILE* fp, decoded* out, std::vector<png_byte>* pixels)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, fp);
    png_read_info(png, info);
    png_get_IHDR(png, info, &out->width, &out->height, &out->bit_depth, &out->color_type, &out->interlace, nullptr,
                 nullptr);
    png_textp text = nullptr;
    int count = png_get_text(png, info, &text, nullptr);
    for (int i = 0; i < count; ++i)
        out->texts.emplace_back(text[i].key, text[i].text);
    std::size_t stride = png_get_rowbytes(png, info);
    pixels->resize(stride * out->height);
    for (png_uint_32 y = 0; y < out->height; ++y)
        png_read_row(png, pixels->data() + y * stride, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::optional<decoded> decode(const std::filesystem::path& path)
{
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (fp == nullptr)
        return std::nullopt;
    decoded d;
    std::vector<png_byte> pixels;
    bool ok = read_png(fp, &d, &pixels);
    std::fclose(fp);
    if (!ok)
        return std::nullopt;
    std::size_t stride = d.height > 0 ? pixels.size() / d.height : 0;
    for (png_uint_32 y = 0; y < d.height; ++y)
        d.rows.emplace_back(pixels.begin() + y * stride, pixels.begin() + (y + 1) * stride);
    return d;
}

// Every pixel of the decoded image equals what GrQueryColor says of the context's pixel value.
void expect_pixels_match(const decoded& d, const GrContext* ctx)
{
    ASSERT_EQ(d.width, (png_uint_32)ctx->gc_xmax + 1);
    ASSERT_EQ(d.height, (png_uint_32)ctx->gc_ymax + 1);
    for (png_uint_32 y = 0; y < d.height; ++y) {
        for (png_uint_32 x = 0; x < d.width; ++x) {
            int r, g, b;
            GrQueryColor(GrPixelC(ctx, (int)x, (int)y), &r, &g, &b);
            const png_byte* p = &d.rows[y][x * 3];
            ASSERT_EQ(p[0], r) << x << "," << y;
            ASSERT_EQ(p[1], g) << x << "," << y;
            ASSERT_EQ(p[2], b) << x << "," << y;
        }
    }
}

class PngExport : public ::testing::Test
{
protected:
    test_support::TempDir dir;
};

TEST_F(PngExport, PageIsWrittenAsEightBitRgbWithEveryPixelsColour)
{
    gr_test::set_memory_mode(690, 480);
    GrColor red = GrAllocColor(255, 0, 0), teal = GrAllocColor(10, 120, 130), grey = GrAllocColor(128, 128, 128);
    GrClearContext(GrWhite());
    GrFilledCircle(300, 200, 150, teal);
    GrLine(0, 479, 689, 0, red);
    GrBox(5, 5, 684, 474, grey);
    GrFilledBoxNC(600, 10, 650, 60, 200); // a value no one allocated: black in the file
    auto path = dir / "page.png";
    ASSERT_EQ(GrSaveContextToPng_wc(nullptr, path.c_str(), "tremwil -x 1 run1.dat"), 0);
    auto d = decode(path);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->width, 690U);
    EXPECT_EQ(d->height, 480U);
    EXPECT_EQ(d->bit_depth, 8);
    EXPECT_EQ(d->color_type, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(d->interlace, PNG_INTERLACE_NONE);
    ASSERT_EQ(d->texts.size(), 1U);
    EXPECT_EQ(d->texts[0].first, "Comment");
    EXPECT_EQ(d->texts[0].second, "tremwil -x 1 run1.dat");
    expect_pixels_match(*d, GrCurrentContext());
    EXPECT_EQ(d->rows[30][620 * 3], 0);
    EXPECT_EQ(d->rows[200][300 * 3 + 1], 120);
}

TEST_F(PngExport, CommentChunkOnlyWhenACommentIsGiven)
{
    gr_test::set_memory_mode(7, 3);
    auto none = dir / "none.png", empty = dir / "empty.png";
    ASSERT_EQ(GrSaveContextToPng_wc(nullptr, none.c_str(), nullptr), 0);
    ASSERT_EQ(GrSaveContextToPng_wc(nullptr, empty.c_str(), ""), 0);
    auto a = decode(none), b = decode(empty);
    ASSERT_TRUE(a.has_value());
    ASSERT_TRUE(b.has_value());
    EXPECT_TRUE(a->texts.empty());
    ASSERT_EQ(b->texts.size(), 1U);
    EXPECT_EQ(b->texts[0].first, "Comment");
    EXPECT_EQ(b->texts[0].second, "");
}

TEST_F(PngExport, FailuresReturnMinusOneAndLeaveTheContextAlone)
{
    gr_test::set_memory_mode(20, 10);
    GrContext* sub = GrCreateSubContext(2, 2, 8, 8, nullptr, nullptr);
    GrSetContext(sub);
    auto missing = dir / "no-such-folder" / "x.png";
    EXPECT_EQ(GrSaveContextToPng_wc(nullptr, missing.c_str(), "c"), -1);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));
    // A device that takes no bytes: the file opens, but the image cannot be written completely.
    EXPECT_EQ(GrSaveContextToPng_wc(nullptr, "/dev/full", "c"), -1);
    EXPECT_EQ(GrCurrentContext()->gc_xoffset, 2);
    EXPECT_EQ(GrCurrentContext()->gc_xmax, 6);
    GrSetContext(nullptr);
    GrDestroyContext(sub);
}

TEST_F(PngExport, GivenContextIsWrittenAndTheCurrentOneRestored)
{
    gr_test::set_memory_mode(30, 20);
    GrClearContext(2);
    GrContext* sub = GrCreateSubContext(10, 5, 19, 9, nullptr, nullptr);
    GrSetContext(sub);
    GrClearContext(4);
    GrPlot(0, 0, 9);
    GrSetContext(nullptr);
    GrSetClipBox(1, 1, 3, 3);
    GrContext before;
    GrSaveContext(&before);
    auto path = dir / "sub.png";
    ASSERT_EQ(GrSaveContextToPng_wc(sub, path.c_str(), nullptr), 0);
    EXPECT_EQ(GrCurrentContext()->gc_xmax, 29);
    EXPECT_EQ(GrCurrentContext()->gc_xcliphi, 3);
    EXPECT_EQ(GrDriverInfo->fdriver.mode, GR_frameRAM8);
    auto d = decode(path);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->width, 10U);
    EXPECT_EQ(d->height, 5U);
    expect_pixels_match(*d, sub);
    GrDestroyContext(sub);

    // The current context's clip box covers 3 x 3 pixels; the whole context is written all the same.
    auto whole = dir / "whole.png";
    ASSERT_EQ(GrSaveContextToPng_wc(nullptr, whole.c_str(), nullptr), 0);
    auto w = decode(whole);
    ASSERT_TRUE(w.has_value());
    expect_pixels_match(*w, GrCurrentContext());
}

TEST_F(PngExport, RgbModeFrameKeepsItsPackedColours)
{
    ASSERT_EQ(GrSetDriver("memory"), 1);
    GrSetMode(GR_width_height_bpp_graphics, 9, 5, 24);
    GrClearContext(GrAllocColor(1, 2, 3));
    GrLine(0, 0, 8, 4, GrAllocColor(250, 128, 7));
    auto path = dir / "rgb.png";
    ASSERT_EQ(GrSaveContextToPng_wc(nullptr, path.c_str(), "rgb"), 0);
    auto d = decode(path);
    ASSERT_TRUE(d.has_value());
    expect_pixels_match(*d, GrCurrentContext());
    EXPECT_EQ(d->rows[4][8 * 3], 250);
    EXPECT_EQ(d->rows[4][0], 1);
}

} // namespace
