// Colour by value and density shading benchmark: on a generated file of "x y z c" rows, the CPU time of reading the
// file and composing its 640 x 480 page with the marks switched off, against the same with --density (10M rows by
// default); and of reading and composing the page with plain marks against reading the fourth column too and
// colouring the marks by it (1M rows).
// Usage: build/bench/colour_bench [density-rows [colour-rows]]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <time.h>

#include "core/settings.h"
#include "data/data_reader.h"
#include "data/data_set.h"
#include "plot/colour_scale.h"
#include "plot/compose.h"
#include "plot/graphics_mode.h"
#include "plot/scale_mapping.h"

namespace
{

constexpr int repetitions = 3;

// x uniform in 0..1000, y a wave with noise, z from -3 to 8, c from 0 to 100; the same seed every time.
void write_sample(const std::string& path, long rows)
{
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    for (long i = 0; i < rows; ++i) {
        const double x = u(rng) * 1000;
        std::fprintf(out, "%.4f %.4f %.3f %.2f\n", x, 50 * std::sin(x / 80) + (u(rng) - 0.5) * 20, -3 + u(rng) * 11,
                     u(rng) * 100);
    }
    std::fclose(out);
}

double cpu_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The page of the file in sets[0], read anew, with sorting off; kind decides what the page draws of the rows.
enum class page_kind { marks_off, density, marks, coloured_marks };

void read_and_compose(const std::string& path, page_kind kind)
{
    static data sets[10];
    for (data& d : sets)
        d = data{};
    sort = 0;
    sets[0].fname = path;
    // The coloured marks read the fourth column as -c 4 does.
    sets[0].cols.c = kind == page_kind::coloured_marks ? 4 : 0;
    readfile(sets[0]);
    sets[0].FindMinMax();
    density = kind == page_kind::density ? DENSITY_LOG : DENSITY_NONE;
    if (kind == page_kind::marks_off) {
        // The ranges stay as read; one row is left, far right of the plot area, where the clipping drops it.
        sets[0].x.assign(1, sets[0].minmax.x.Max + 1e6);
        sets[0].y.resize(1);
        sets[0].z.resize(1);
    }
    compose(sets);
}

// Best CPU time of each kind, the kinds taking turns so that a change of load hits them alike.
void compare(const std::string& path, page_kind a, page_kind b, double* best_a, double* best_b)
{
    *best_a = *best_b = 1e300;
    for (int i = 0; i < repetitions; ++i)
        for (const page_kind k : {a, b}) {
            const double start = cpu_seconds();
            read_and_compose(path, k);
            const double t = cpu_seconds() - start;
            double& best = k == a ? *best_a : *best_b;
            best = std::min(best, t);
        }
}

} // namespace

int main(int argc, char** argv)
{
    const long density_rows = argc > 1 ? std::atol(argv[1]) : 10000000;
    const long colour_rows = argc > 2 ? std::atol(argv[2]) : 1000000;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tremwil-colour-bench";
    std::filesystem::create_directories(folder);
    const std::string big = (folder / "density.dat").string(), small = (folder / "colour.dat").string();
    write_sample(big, density_rows);
    write_sample(small, colour_rows);
    in_memory = 1;
    Zscale.legend_width = 0;
    entergrmode(3);
    alloc_colors();
    alloc_colour_levels();
    double off = 0, shaded = 0, plain = 0, coloured = 0;
    compare(big, page_kind::marks_off, page_kind::density, &off, &shaded);
    std::printf("%ld rows, CPU time, best of %d: marks off %.3f s, --density %.3f s: %.2fx\n", density_rows,
                repetitions, off, shaded, shaded / off);
    compare(small, page_kind::marks, page_kind::coloured_marks, &plain, &coloured);
    std::printf("%ld rows, CPU time, best of %d: plain marks %.3f s, coloured marks %.3f s: %.2fx\n", colour_rows,
                repetitions, plain, coloured, coloured / plain);
    exitgrmode();
    std::filesystem::remove_all(folder);
    return 0;
}
