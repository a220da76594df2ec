// Tests of contexts: frame contexts of each format, sub-contexts and their clamping, clip boxes, saving and
// restoring the current context with its frame driver, and reading scan lines back.
#include "gr_fixture.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

using gr_test::clip;
using gr_test::MemoryMode;
using gr_test::placement;
using box = std::array<int, 4>;

namespace
{

TEST_F(MemoryMode, SubContextsAreClampedToTheRootNestedOnesAddOffsets)
{
    GrContext* c = GrCreateSubContext(-5, 3, 20, 8, nullptr, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(placement(*c), (box{0, 3, 15, 5}));
    EXPECT_EQ(clip(*c), (box{0, 0, 15, 5}));
    EXPECT_EQ(c->gc_root, GrScreenContext());
    GrDestroyContext(c);
    EXPECT_EQ(GrCreateSubContext(16, 0, 20, 5, nullptr, nullptr), nullptr);
    EXPECT_EQ(GrCreateSubContext(-5, -5, -1, 3, nullptr, nullptr), nullptr);
    EXPECT_EQ(GrCreateSubContext(0, 12, 3, 40, nullptr, nullptr), nullptr);
    GrContext swapped;
    ASSERT_EQ(GrCreateSubContext(10, 8, 4, 2, nullptr, &swapped), &swapped);
    EXPECT_EQ(placement(swapped), (box{4, 2, 6, 6}));
    EXPECT_EQ(swapped.gc_frame.gf_memflags, 0);

    GrContext parent, child;
    ASSERT_NE(GrCreateSubContext(4, 2, 12, 9, nullptr, &parent), nullptr);
    ASSERT_NE(GrCreateSubContext(1, 1, 100, 100, &parent, &child), nullptr);
    EXPECT_EQ(child.gc_root, GrScreenContext());
    EXPECT_EQ(placement(child), (box{5, 3, 10, 8})); // clamped to the root, not to the parent
    GrSetContext(&child);
    GrPlot(0, 0, 1);
    GrPlot(10, 8, 2);
    GrPlot(11, 0, 3); // outside the child
    GrSetContext(nullptr);
    EXPECT_EQ(GrPixelC(nullptr, 5, 3), 1U);
    EXPECT_EQ(GrPixelC(nullptr, 15, 11), 2U);
    EXPECT_EQ(gr_test::count_value(3), 0);

    // Resizing places the box on the root again, and resets the clip box.
    GrSetClipBoxC(&child, 2, 2, 3, 3);
    GrResizeSubContext(&child, 7, 6, 2, -3);
    EXPECT_EQ(placement(child), (box{2, 0, 5, 6}));
    EXPECT_EQ(clip(child), (box{0, 0, 5, 6}));
    GrResizeSubContext(&child, 50, 50, 60, 60); // misses the root: unchanged
    GrResizeSubContext(&parent, 0, 0, 1, 1);    // contexts are independent records
    EXPECT_EQ(child.gc_xoffset, 2);
}

TEST_F(MemoryMode, ClipBoxesAreOrderedAndClampedAndClearingIgnoresThem)
{
    GrSetClipBox(20, 9, -4, 3);
    box b;
    GrGetClipBox(&b[0], &b[1], &b[2], &b[3]);
    EXPECT_EQ(b, (box{0, 3, 15, 9}));
    GrClearContext(1);
    EXPECT_EQ(gr_test::count_value(1), 16 * 12);
    GrResetClipBox();
    GrGetClipBox(&b[0], &b[1], &b[2], &b[3]);
    EXPECT_EQ(b, (box{0, 0, 15, 11}));

    // Clearing the screen fills all of it and keeps the current context.
    GrContext* sub = GrCreateSubContext(3, 3, 6, 6, nullptr, nullptr);
    GrSetContext(sub);
    GrClearScreen(3);
    EXPECT_EQ(gr_test::count_value(3), 16 * 12);
    GrClearContext(4);
    EXPECT_EQ(gr_test::count_value(4), 4 * 4);
    GrSetContext(nullptr);
    GrDestroyContext(sub);
}

// A saved context set again, and the guard, give back whatever context was current, not the screen: the same
// placement, clip box and driver, the guard also when its scope ends by an exception; GrClearScreen leaves the
// current context as it found it.
TEST_F(MemoryMode, SavedContextAndGuardRestoreTheCurrentOneWithItsDriver)
{
    GrContext* rgb = GrCreateFrameContext(GR_frameRAM24, 8, 4, nullptr, nullptr);
    GrContext* sub = GrCreateSubContext(2, 3, 9, 9, nullptr, nullptr);
    ASSERT_NE(rgb, nullptr);
    ASSERT_NE(sub, nullptr);
    GrSetContext(sub);
    GrSetClipBox(1, 1, 4, 4);
    GrContext before;
    ASSERT_EQ(GrSaveContext(&before), &before);
    EXPECT_EQ(before.gc_frame.gf_memflags, 0);
    const auto same_as_before = [&before] {
        EXPECT_EQ(std::memcmp(GrCurrentContext(), &before, sizeof before), 0);
        EXPECT_EQ(GrDriverInfo->fdriver.drawpixel, GrDriverInfo->sdriver.drawpixel);
    };
    {
        const twgr::current_context_guard inside(rgb);
        EXPECT_EQ(GrDriverInfo->fdriver.mode, GR_frameRAM24);
        GrClearContext(0x123456);
    }
    EXPECT_EQ(GrPixelC(rgb, 7, 3), 0x123456U);
    same_as_before();
    try {
        const twgr::current_context_guard inside(nullptr);
        EXPECT_EQ(placement(*GrCurrentContext()), placement(*GrScreenContext()));
        throw std::runtime_error("left early");
    } catch (const std::runtime_error&) {
    }
    same_as_before();
    GrClearScreen(7);
    same_as_before();
    EXPECT_EQ(GrPixelC(GrScreenContext(), 0, 0), 7U);
    GrSetContext(rgb);
    GrSetContext(&before);
    same_as_before();
    GrPlot(1, 1, 5);
    GrPlot(0, 0, 5); // outside the restored clip box
    EXPECT_EQ(gr_test::count_value(5), 1);

    GrContext* heap = GrSaveContext(nullptr);
    ASSERT_NE(heap, nullptr);
    EXPECT_EQ(heap->gc_frame.gf_memflags, 1); // the record only, never the planes
    GrDestroyContext(heap);
    GrSetContext(nullptr);
    GrDestroyContext(sub);
    GrDestroyContext(rgb);
}

TEST_F(MemoryMode, FrameContextsOfEachFormat)
{
    EXPECT_EQ(GrFrameLineOffset(GR_frameRAM8, 10), 12);
    EXPECT_EQ(GrFrameLineOffset(GR_frameRAM24, 10), 32);
    EXPECT_EQ(GrFrameLineOffset(GR_frameRAM32H, 10), 40);
    EXPECT_EQ(GrFrameContextSize(GR_frameRAM24, 10, 3), 96);
    // Bit planes: ceil(w / 8) bytes a row in each plane.
    EXPECT_EQ(GrFrameLineOffset(GR_frameRAM1, 33), 8);
    EXPECT_EQ(GrFrameContextSize(GR_frameRAM4, 33, 3), 4 * 8 * 3);
    GrContext* four = GrCreateFrameContext(GR_frameRAM4, 33, 3, nullptr, nullptr);
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(four->gc_frame.gf_driver->mode, GR_frameRAM4);
    GrDestroyContext(four);
    EXPECT_EQ(GrCreateFrameContext(GR_frameRAM1, 20000, 20000, nullptr, nullptr), nullptr); // plane too large
    EXPECT_EQ(GrFrameLineOffset(GR_frameUndef, 10), 0);
    EXPECT_EQ(GrFrameContextSize(GR_frameSVGA8_LFB, 10, 3), 0);
    // A window mode gives the memory frame of its depth.
    EXPECT_EQ(GrFrameLineOffset(GR_frameWIN32_24, 10), 32);
    GrContext* window_like = GrCreateFrameContext(GR_frameWIN32_8, 10, 3, nullptr, nullptr);
    ASSERT_NE(window_like, nullptr);
    EXPECT_EQ(window_like->gc_frame.gf_driver->mode, GR_frameRAM8);
    GrDestroyContext(window_like);
    EXPECT_EQ(GrCreateFrameContext(GR_frameUndef, 4, 4, nullptr, nullptr), nullptr);
    EXPECT_EQ(GrCreateFrameContext(GR_frameRAM8, 0, 4, nullptr, nullptr), nullptr);
    EXPECT_EQ(GrCreateFrameContext(GR_frameRAM8, 4, -1, nullptr, nullptr), nullptr);
    EXPECT_EQ(GrCreateFrameContext(GR_frameRAM8, 20000, 20000, nullptr, nullptr), nullptr); // plane too large

    // Over memory given by the caller: pixel (x, y) is byte y * lineoffset + x.
    std::vector<unsigned char> mem(12 * 3, 0);
    unsigned char* planes[4] = {mem.data(), nullptr, nullptr, nullptr};
    GrContext given;
    ASSERT_EQ(GrCreateFrameContext(GR_frameRAM8, 10, 3, planes, &given), &given);
    EXPECT_EQ(given.gc_frame.gf_memflags, 0);
    GrSetContext(&given);
    GrPlot(9, 2, 77);
    GrSetContext(nullptr);
    EXPECT_EQ(mem[2 * 12 + 9], 77);
    EXPECT_EQ(std::count(mem.begin(), mem.end(), 0), (long)mem.size() - 1);
    GrDestroyContext(&given); // owns nothing: the caller's memory stays
}

// What a scan line holds is read by every PNG export (a whole screen, and a sub-context); here, where it is refused.
TEST_F(MemoryMode, ScanLinesOnlyInsideTheClipBox)
{
    set_mode(640, 20);
    GrPlot(5, 7, 4);
    for (auto [x1, x2, y] : {std::array{0, 639, -1}, {0, 639, 20}, {-1, 10, 7}, {0, 640, 7}})
        EXPECT_EQ(GrGetScanline(x1, x2, y), nullptr) << x1 << "-" << x2 << " at " << y;
    const GrColor* row = GrGetScanline(6, 4, 7); // ends in either order
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row[1], 4U);
    GrSetClipBox(10, 0, 20, 19);
    EXPECT_EQ(GrGetScanline(0, 15, 7), nullptr);
    EXPECT_NE(GrGetScanline(10, 20, 7), nullptr);
}

} // namespace
