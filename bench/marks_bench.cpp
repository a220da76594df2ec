// Data marks benchmark: plot_data over one million rows in each draw type on a 640 x 480 memory page, against
// a floor that draws the same rings with GrCircle from positions and radii computed beforehand.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "core/settings.h"
#include "data/data_set.h"
#include "plot/graphics_mode.h"
#include "plot/marks.h"
#include "plot/scale_mapping.h"

namespace
{

constexpr std::size_t rows = 1000000;
constexpr int plot_w = 600, plot_h = 440;

// x uniform in 0..1000, y smooth plus noise, z from -3 to 8, components of a few units.
void fill_rows(data& d)
{
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> ux(0, 1000), noise(-0.3, 0.3), uz(-3, 8), uc(-4, 4);
    for (std::size_t i = 0; i < rows; ++i) {
        const double x = ux(rng);
        d.x.push_back(x);
        d.y.push_back(std::sin(x / 100) + noise(rng));
        d.z.push_back(uz(rng));
        d.dx1.push_back(uc(rng));
        d.dy1.push_back(uc(rng));
        d.dx2.push_back(uc(rng));
        d.dy2.push_back(uc(rng));
    }
    d.mod_minmax.z.Min = -3.5;
    d.mod_minmax.z.Max = 8.5;
}

// Best of five runs, in milliseconds.
double best_ms(const std::function<void()>& run)
{
    double best = 1e300;
    for (int k = 0; k < 5; ++k) {
        GrClearScreen(colors[COLOR_BG]);
        const auto t0 = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - t0;
        best = std::min(best, ms.count());
    }
    return best;
}

} // namespace

int main()
{
    static data d;
    fill_rows(d);
    in_memory = 1;
    Zscale.legend_width = 0;
    entergrmode(3);
    alloc_colors();
    GrContext area{};
    GrCreateSubContext(20, 20, 20 + plot_w, 20 + plot_h, nullptr, &area);
    GrSetContext(&area);
    Xscale.set(-20, 1020, plot_w);
    Yscale.set(-1.5, 1.5, plot_h);
    Escale.set(-4, 4, plot_h);

    std::vector<int> px(rows), py(rows), pr(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        px[i] = static_cast<int>(Xscale.scale(d.x[i]));
        py[i] = plot_h - static_cast<int>(Yscale.scale(d.y[i]));
        pr[i] = static_cast<int>(d.z[i]);
    }
    const double floor_ms = best_ms([&] {
        for (std::size_t i = 0; i < rows; ++i)
            GrCircle(px[i], py[i], pr[i], colors[COLOR_FG0]);
    });
    std::printf("floor: GrCircle of precomputed rings   %8.1f ms\n", floor_ms);
    const struct {
        const char* name;
        int type;
    } types[] = {{"rings", DT_NORMAL},
                 {"rings joined by lines", DT_LINE},
                 {"ellipses", DT_ELLIPSE},
                 {"quivers", DT_QUIVER_XYUV}};
    for (const auto& t : types) {
        draw_type = t.type;
        const double ms = best_ms([&] { plot_data(d, plot_h, COLOR_FG0); });
        std::printf("plot_data, %-24s %8.1f ms (%.2f x floor)\n", t.name, ms, ms / floor_ms);
    }
    GrSetContext(nullptr);
    exitgrmode();
    return 0;
}
