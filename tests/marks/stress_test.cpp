// The drawing loops under stress: seeded random values from the whole double range (huge, tiny, infinite, NaN)
// and random scales, drawn in every draw type and as overlays, stay inside the plot area and end promptly; and
// the loops allocate nothing per row (plot_data of every draw type and the circle, arrow and line drawers run
// with a counting global operator new).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <random>

#include "marks_fixture.h"
#include "plot/overlay_draw.h"

namespace
{

bool counting = false;
long allocations = 0;

} // namespace

void* operator new(std::size_t size)
{
    if (counting)
        ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

// The replacement pair is malloc and free underneath; the compiler, seeing new and free meet after
// inlining, would warn of a mismatch that is not one.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace
{

template <typename F> long allocations_of(F&& draw)
{
    allocations = 0;
    counting = true;
    draw();
    counting = false;
    return allocations;
}

using Allocations = marks_test::MarksPage;

TEST_F(Allocations, DrawingLoopsAllocateNothing)
{
    for (int i = 0; i < 2000; ++i)
        add_point(i % 11, (i * 7) % 11, (i % 13) - 4.5, {i % 3 - 1.0, i % 5 - 2.0, 1, 0.5});
    d.z[5] = 1000; // outside the z range: the skipping path runs too
    Escale.set(-2, 2, 40);
    for (int type : {DT_NORMAL, DT_LINE, DT_ELLIPSE_XYUV, DT_QUIVER_XYUV, DT_ELLIPSE_XUYV, DT_QUIVER_XUYV}) {
        draw_type = type;
        GrClearScreen(0);
        EXPECT_EQ(allocations_of([&] { plot_data(d, 100, COLOR_FG0); }), 0) << "draw type " << type;
        EXPECT_GT(marks_test::drawn_pixels(), 100) << "draw type " << type;
    }
    // Texts are left out: the library's string drawing keeps the codes of each string in a vector of its own.
    circles.push_back({5, 5, 1});
    arrows.push_back({1, 1, 9, 9});
    lines.push_back({LT_NORMAL, 1, 9, 9, 1});
    lines.push_back({LT_HORIZONTAL, 0, 5, 0, 0});
    EXPECT_EQ(allocations_of([] {
                  do_circles(100);
                  do_arrows(100);
                  do_line(100);
              }),
              0);
}

constexpr GrColor canary = 200;

class RandomValues : public marks_test::MarksPage
{
protected:
    std::mt19937_64 rng{20261206};

    double any_value()
    {
        constexpr double top = std::numeric_limits<double>::max(), inf = std::numeric_limits<double>::infinity();
        static const double pick[] = {0,     1e-300, -1e-300, 0.4,  -3,  7.5,  1e3,         -1e9,
                                      1e300, -1e300, top,     -top, inf, -inf, std::nan("")};
        const int k = std::uniform_int_distribution<int>(0, std::size(pick))(rng);
        return k < static_cast<int>(std::size(pick)) ? pick[k] : std::uniform_real_distribution<double>(-20, 20)(rng);
    }
    void random_scale(class_scalefunc& s) { s.set(any_value(), any_value(), any_value()); }
};

TEST_F(RandomValues, DrawingStaysInsideThePlotArea)
{
    open_page(64, 48);
    GrClearScreen(canary);
    GrContext area{};
    GrCreateSubContext(8, 8, 55, 39, nullptr, &area);
    GrSetContext(&area);
    GrClearContext(0);
    GrTextOption opt = plot_test::text_options(font, 0);

    const auto t0 = std::chrono::steady_clock::now();
    for (int round = 0; round < 3000; ++round) {
        draw_type = static_cast<int>(rng() % 6) + 1;
        random_scale(Xscale);
        random_scale(Yscale);
        random_scale(Escale);
        Zscale.per_z = any_value();
        Zscale.added = rng() % 4 == 0 ? any_value() : 0.0;
        scalee = {any_value(), any_value()};
        d.cleanup();
        d.offset_y = rng() % 4 == 0 ? any_value() : 0.0;
        d.mod_minmax.z.Min = any_value();
        d.mod_minmax.z.Max = any_value();
        for (int i = 0; i < 4; ++i)
            add_point(any_value(), any_value(), any_value(), {any_value(), any_value(), any_value(), any_value()});
        circles.assign({{any_value(), any_value(), any_value()}});
        arrows.assign({{any_value(), any_value(), any_value(), any_value()}});
        lines.assign({{LT_NORMAL, any_value(), any_value(), any_value(), any_value()},
                      {LT_HORIZONTAL, 0, any_value(), 0, 0},
                      {LT_VERTICAL, any_value(), 0, 0, 0}});
        texts.assign({{any_value(), any_value(), "t"}});
        const int ysize = static_cast<int>(rng() % 40);
        testing::internal::CaptureStderr();
        plot_data(d, ysize, static_cast<int>(COLOR_FG0 + rng() % 10));
        do_circles(ysize);
        do_arrows(ysize);
        do_text(ysize, &opt);
        do_line(ysize);
        testing::internal::GetCapturedStderr();
    }
    GrSetContext(nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(60));

    const int outside = 64 * 48 - 48 * 32;
    EXPECT_EQ(marks_test::pixels_of(canary), outside) << "nothing drawn outside the plot area";
    EXPECT_GT(marks_test::drawn_pixels() - outside, 100) << "the rounds drew something";
}

} // namespace
