// Seeded random values from the whole double range (huge, tiny, infinite, NaN) and random scales, drawn in
// every draw type and as overlays: drawing stays inside the plot area and ends promptly.
#include <gtest/gtest.h>

#include <chrono>
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
        static const double pick[] = {0,
                                      1e-300,
                                      -1e-300,
                                      0.4,
                                      -3,
                                      7.5,
                                      1e3,
                                      -1e9,
                                      1e300,
                                      -1e300,
                                      std::numeric_limits<double>::max(),
                                      std::numeric_limits<double>::lowest(),
                                      std::numeric_limits<double>::infinity(),
                                      -std::numeric_limits<double>::infinity(),
                                      std::numeric_limits<double>::quiet_NaN()};
        std::uniform_int_distribution<int> which(0, std::size(pick));
        const int k = which(rng);
        if (k == static_cast<int>(std::size(pick)))
            return std::uniform_real_distribution<double>(-20, 20)(rng);
        return pick[k];
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
        for (int i = 0; i < 4; ++i) {
            add_point(any_value(), any_value(), any_value());
            add_components(any_value(), any_value(), any_value(), any_value());
        }
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

    int outside_changed = 0, inside_drawn = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool inside = x >= 8 && x <= 55 && y >= 8 && y <= 39;
            const GrColor v = marks_test::pixel(x, y);
            outside_changed += !inside && v != canary ? 1 : 0;
            inside_drawn += inside && v != 0 ? 1 : 0;
        }
    EXPECT_EQ(outside_changed, 0);
    EXPECT_GT(inside_drawn, 100) << "the rounds drew something";
}

} // namespace
