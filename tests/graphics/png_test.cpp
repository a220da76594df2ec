// Tests of PNG export: the written file is decoded and compared pixel by pixel with the context and the colour table.
#include "gr_fixture.h"
#include "png_image.h"
#include "test_support.h"

#include <filesystem>

namespace
{

using test_support::png_image;
using test_support::rgb;

// Writes ctx to name in dir and checks the file is 8-bit RGB with every pixel the colour GrQueryColor gives.
std::optional<png_image> save_and_compare(test_support::TempDir& dir, GrContext* ctx, const char* name,
                                          const char* comment)
{
    auto path = dir / name;
    EXPECT_EQ(GrSaveContextToPng_wc(ctx, path.c_str(), comment), 0) << name;
    auto d = test_support::read_png(path);
    const GrContext* c = ctx != nullptr ? ctx : GrCurrentContext();
    if (!d || d->width != c->gc_xmax + 1 || d->height != c->gc_ymax + 1) {
        ADD_FAILURE() << name << " is missing, unreadable or not of the context's size";
        return d;
    }
    EXPECT_EQ(d->bit_depth, 8);
    EXPECT_EQ(d->color_type, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(d->interlace, PNG_INTERLACE_NONE);
    for (int y = 0; y < d->height; ++y)
        for (int x = 0; x < d->width; ++x) {
            auto want = gr_test::query(GrPixelC(c, x, y));
            if (d->at(x, y) != rgb{want[0], want[1], want[2]}) {
                ADD_FAILURE() << name << " pixel " << x << "," << y;
                return d;
            }
        }
    return d;
}

class PngExport : public ::testing::Test
{
protected:
    test_support::TempDir dir;
};

TEST_F(PngExport, PageIsWrittenWithEveryPixelsColourAndTheCommentOnlyWhenGiven)
{
    gr_test::set_memory_mode(690, 480);
    GrColor red = GrAllocColor(255, 0, 0), teal = GrAllocColor(10, 120, 130), grey = GrAllocColor(128, 128, 128);
    GrClearContext(GrWhite());
    GrFilledCircle(300, 200, 150, teal);
    GrLine(0, 479, 689, 0, red);
    GrBox(5, 5, 684, 474, grey);
    GrFilledBoxNC(600, 10, 650, 60, 200); // a value no one allocated: black in the file
    auto d = save_and_compare(dir, nullptr, "page.png", "tremwil -x 1 run1.dat");
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->comment, "tremwil -x 1 run1.dat");
    EXPECT_EQ(d->at(620, 30), (rgb{0, 0, 0}));
    EXPECT_EQ(d->at(300, 200), (rgb{10, 120, 130}));

    gr_test::set_memory_mode(7, 3);
    auto none = save_and_compare(dir, nullptr, "none.png", nullptr);
    auto empty = save_and_compare(dir, nullptr, "empty.png", "");
    ASSERT_TRUE(none && empty);
    EXPECT_EQ(none->comment, std::nullopt);
    EXPECT_EQ(empty->comment, "");
}

TEST_F(PngExport, FailuresReturnMinusOneAndLeaveTheContextAlone)
{
    gr_test::set_memory_mode(20, 10);
    GrContext* sub = GrCreateSubContext(2, 2, 8, 8, nullptr, nullptr);
    GrSetContext(sub);
    auto missing = dir / "no-such-folder" / "x.png";
    EXPECT_EQ(GrSaveContextToPng_wc(nullptr, missing.c_str(), "c"), -1);
    EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));
    // A device that takes no bytes: the file opens, but the image cannot be written completely.
    EXPECT_EQ(GrSaveContextToPng_wc(nullptr, "/dev/full", "c"), -1);
    EXPECT_EQ(gr_test::placement(*GrCurrentContext()), (std::array<int, 4>{2, 2, 6, 6}));
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
    save_and_compare(dir, sub, "sub.png", nullptr);
    EXPECT_EQ(GrCurrentContext()->gc_xmax, 29);
    EXPECT_EQ(GrCurrentContext()->gc_xcliphi, 3);
    EXPECT_EQ(GrDriverInfo->fdriver.mode, GR_frameRAM8);
    GrDestroyContext(sub);
    // The current context's clip box covers 3 x 3 pixels; the whole context is written all the same.
    save_and_compare(dir, nullptr, "whole.png", nullptr);
}

TEST_F(PngExport, RgbModeFrameKeepsItsPackedColours)
{
    ASSERT_EQ(GrSetDriver("memory"), 1);
    GrSetMode(GR_width_height_bpp_graphics, 9, 5, 24);
    GrClearContext(GrAllocColor(1, 2, 3));
    GrLine(0, 0, 8, 4, GrAllocColor(250, 128, 7));
    auto d = save_and_compare(dir, nullptr, "rgb.png", "rgb");
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->at(8, 4), (rgb{250, 128, 7}));
    EXPECT_EQ(d->at(0, 4), (rgb{1, 2, 3}));
}

// The 16- and 2-colour memory modes draw into bit planes; the file shows each pixel's colour all the same.
TEST_F(PngExport, BitPlaneFramesAreWrittenWithTheirColours)
{
    const std::pair<GrColor, GrFrameMode> modes[] = {{16, GR_frameRAM4}, {2, GR_frameRAM1}};
    for (const auto& [colors, mode] : modes) {
        ASSERT_EQ(GrSetDriver("memory"), 1);
        GrSetMode(GR_width_height_color_graphics, 21, 9, colors);
        ASSERT_EQ(GrDriverInfo->fdriver.mode, mode);
        GrClearContext(GrWhite());
        GrFilledCircle(10, 4, 3, GrBlack());
        GrLine(0, 8, 20, 8, colors - 1);
        auto d = save_and_compare(dir, nullptr, colors == 2 ? "ram1.png" : "ram4.png", nullptr);
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(GrPixelC(nullptr, 10, 4), GrBlack());
        EXPECT_EQ(GrPixelC(nullptr, 20, 8), colors - 1);
        EXPECT_NE(d->at(10, 4), d->at(0, 0)) << colors;
    }
}

} // namespace
