// Allocation-failure sweep over twgr's entries that allocate: the Nth allocation of a call fails, for N = 1, 2, ...
// until a call runs without a failed allocation. Each time the call must return its documented result (success or
// its failure value), never throw through the C interface, and leave nothing behind: no temporary file, an old
// picture untouched, the current context as it was. This program replaces malloc, beneath operator new too, so it
// runs alone; the sanitizer build keeps its own allocator and skips it.
#include "packed.h"
#include "png_image.h"
#include "test_support.h"
#include "twgr.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define ALLOCATOR_REPLACED 0
#else
#define ALLOCATOR_REPLACED 1
#endif

namespace
{

// Counts allocations of this thread while armed; the one that brings the count to zero fails. Other threads (the
// save finisher's) are never failed, so that a run is the same each time.
thread_local long allocations_until_failure = -1;
thread_local bool failure_happened = false;

[[maybe_unused]] bool this_allocation_fails()
{
    if (allocations_until_failure < 0)
        return false;
    if (--allocations_until_failure != 0)
        return false;
    allocations_until_failure = -1;
    failure_happened = true;
    return true;
}

} // namespace

#if ALLOCATOR_REPLACED
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* old, std::size_t size);

void* malloc(std::size_t size)
{
    return this_allocation_fails() ? nullptr : __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size)
{
    return this_allocation_fails() ? nullptr : __libc_calloc(count, size);
}
void* realloc(void* old, std::size_t size)
{
    return this_allocation_fails() ? nullptr : __libc_realloc(old, size);
}
}

#endif

namespace
{

namespace fs = std::filesystem;

// Runs call with its Nth allocation failing, N = 1, 2, ..., check after each; returns the N at which no allocation
// failed any more (the call's number of allocations + 1). call returns whether it succeeded; once no allocation
// failed it must have.
long sweep(const std::function<bool()>& call, const std::function<void(bool succeeded, long n)>& check)
{
    for (long n = 1; n < 20000; ++n) {
        allocations_until_failure = n;
        failure_happened = false;
        bool succeeded = false;
        try {
            succeeded = call();
        } catch (...) {
            allocations_until_failure = -1;
            ADD_FAILURE() << "an exception went through the C interface at allocation " << n;
            return n;
        }
        allocations_until_failure = -1;
        check(succeeded, n);
        if (!failure_happened) {
            EXPECT_TRUE(succeeded) << "the call failed with no allocation failing";
            return n;
        }
        if (testing::Test::HasFailure())
            return n;
    }
    ADD_FAILURE() << "the call never ran without a failed allocation";
    return 0;
}

class AllocationFailure : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!ALLOCATOR_REPLACED)
            GTEST_SKIP() << "the sanitizers keep their own allocator";
    }
    test_support::TempDir dir;
};

TEST_F(AllocationFailure, ContextCreationGivesNullOrAWholeContext)
{
    ASSERT_EQ(GrSetDriver("memory"), 1);
    GrSetMode(GR_width_height_color_graphics, 40, 30, 256);
    for (const GrFrameMode mode : {GR_frameRAM8, GR_frameRAM24, GR_frameRAM4}) {
        GrContext* made = nullptr;
        const long n = sweep([&] { return (made = GrCreateFrameContext(mode, 17, 9, nullptr, nullptr)) != nullptr; },
                             [&](bool, long) {
                                 if (made != nullptr) {
                                     EXPECT_EQ(made->gc_xmax, 16);
                                     EXPECT_NE(made->gc_frame.gf_baseaddr[0], nullptr);
                                 }
                                 GrDestroyContext(made);
                             });
        EXPECT_GT(n, 1) << "no allocation was swept for mode " << mode;
    }
    GrContext* sub = nullptr;
    sweep([&] { return (sub = GrCreateSubContext(1, 1, 5, 5, nullptr, nullptr)) != nullptr; },
          [&](bool, long) { GrDestroyContext(sub); });
    GrContext* saved = nullptr;
    sweep([&] { return (saved = GrSaveContext(nullptr)) != nullptr; }, [&](bool, long) { GrDestroyContext(saved); });
}

TEST_F(AllocationFailure, FontLoadingGivesNullOrAWholeFont)
{
    const fs::path fonts = fs::path(TEST_DATA_DIR) / "fonts";
    for (const fs::path& file :
         {fonts / "gen" / "vga.psf", fonts / "gen" / "prop.fnt", fonts / "gen" / "box.chr", fonts / "gen" / "prop.fna",
          dir.write("vga.psf.gz", test_support::packed(test_support::read_file(fonts / "gen" / "vga.psf"), false))}) {
        GrFont* font = nullptr;
        const long n = sweep([&] { return (font = GrLoadFont(file.c_str())) != nullptr; },
                             [&](bool, long) {
                                 if (font != nullptr) {
                                     EXPECT_GT(font->h.height, 0U);
                                     EXPECT_NE(font->chrinfo, nullptr);
                                 }
                                 GrUnloadFont(font);
                             });
        EXPECT_GT(n, 1) << file;
    }
}

TEST_F(AllocationFailure, SavingWritesThePictureWholeOrLeavesTheOldOne)
{
    ASSERT_EQ(GrSetDriver("memory"), 1);
    GrSetMode(GR_width_height_color_graphics, 40, 30, 256);
    GrClearContext(GrWhite());
    GrFilledCircle(20, 15, 10, GrAllocColor(200, 30, 40));
    GrContext* sub = GrCreateSubContext(3, 4, 20, 25, nullptr, nullptr);
    GrSetContext(sub);
    const fs::path picture = dir / "pic.png";
    for (const bool later : {false, true}) {
        dir.write("pic.png", "old picture");
        const long n = sweep(
            [&] {
                if (!later)
                    return GrSaveContextToPng_wc(nullptr, picture.c_str(), "a comment") == 0;
                return GrSaveContextToPngLater(nullptr, picture.c_str(), "a comment") == 0 &&
                       GrFinishPngSaves(nullptr, nullptr) == 0;
            },
            [&](bool succeeded, long at) {
                EXPECT_EQ(test_support::names_in(dir.path()), std::vector<std::string>{"pic.png"})
                    << "allocation " << at;
                EXPECT_EQ(GrCurrentContext()->gc_xoffset, 3) << "allocation " << at;
                EXPECT_EQ(GrCurrentContext()->gc_xmax, 17) << "allocation " << at;
                if (!succeeded) {
                    EXPECT_EQ(test_support::read_file(picture), "old picture") << "allocation " << at;
                    return;
                }
                const auto png = test_support::read_png(picture);
                ASSERT_TRUE(png.has_value()) << "allocation " << at;
                EXPECT_EQ(png->width, 18U);
                EXPECT_EQ(png->comment, std::optional<std::string>("a comment"));
                dir.write("pic.png", "old picture");
            });
        EXPECT_GT(n, 3) << "later: " << later;
    }
    GrSetContext(nullptr);
    GrDestroyContext(sub);
}

} // namespace
