// Seeded random values from the whole double range (huge, tiny, infinite, NaN) and random scales, drawn in
// every draw type and as overlays: drawing stays inside the plot area and ends promptly.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <random>

#include "marks_fixture.h"
#include "overlay_draw.h"

namespace
{

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
    GrTextOption opt{};
    opt.txo_font = font;
    opt.txo_bgcolor.v = GrNOCOLOR;

    const auto t0 = std::chrono::steady_clock::now();
    for (int round = 0; round < 3000; ++round) {
        draw_type = static_cast<int>(rng() % 6) + 1;
        random_scale(Xscale);
        random_scale(Yscale);
        random_scale(Escale);
        scalez = any_value();
        add_to_z_when_zero = rng() % 4 == 0 ? any_value() : 0.0;
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
    EXPECT_EQ(marks_test::pixels_of(canary).count, outside) << "nothing drawn outside the plot area";
    EXPECT_GT(marks_test::drawn().count - outside, 100) << "the rounds drew something";
}

} // namespace
