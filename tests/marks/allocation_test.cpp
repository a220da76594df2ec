// The drawing loops allocate nothing per row: plot_data of every draw type and the circle, arrow and line
// drawers run with a counting global operator new.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "marks_fixture.h"
#include "overlay_draw.h"

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
        EXPECT_GT(marks_test::drawn().count, 100) << "draw type " << type;
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

} // namespace
