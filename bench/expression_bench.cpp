// Expression benchmark: generates a file of 10M rows "x y z status" and times, in one run, readfile + FindMinMax
// of the plain columns against the same file read with --y='$2*2', with --where='$3>0' and with --by=4 (the rows
// dealt out to their data sets included). The four readings take turns over several rounds and the best time of
// each counts, so that load from other processes hits them alike. Usage: expression_bench [folder [reading]]. Goals:
// expressions and --where within 1.2 times the plain reading, --by within 1.3 times.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/settings.h"
#include "data/data_passes.h"
#include "data/data_reader.h"
#include "data/data_set.h"
#include "plot/run_state.h"

namespace
{

constexpr int row_count = 10'000'000;
constexpr int rounds = 5;

void write_sample(const std::string& path)
{
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> y(0, 100);
    std::uniform_real_distribution<double> z(-10, 10);
    const char* const statuses[] = {"200", "200", "200", "404", "500", "301"};
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    for (int i = 0; i < row_count; ++i)
        std::fprintf(out, "%d %.3f %.3f %s\n", i, y(rng), z(rng), statuses[rng() % 6]);
    std::fclose(out);
}

struct reading {
    const char* name;
    const char* y;
    const char* where;
    std::uint32_t by;
    double best = 1e300;
    double best_cpu = 1e300; // processor time of all threads: steadier than the clock on a loaded machine
    std::size_t rows = 0;
};

void compile_into(expression& e, const char* text)
{
    expr_error error;
    if (*text != '\0' && !e.compile(text, error)) {
        std::fprintf(stderr, "%s: %s\n", text, error.what.c_str());
        std::exit(1);
    }
}

void read_once(const std::string& path, reading& r)
{
    reset_run_state();
    sort = 0;
    quiet = 1;
    data& d = mydata[0];
    d.fname = path;
    compile_into(d.cols[expr_slot::y], r.y);
    compile_into(d.cols[expr_slot::where], r.where);
    d.cols.by = r.by;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu_start = std::clock();
    const file_read read = readfile(d);
    if (r.by != 0)
        split_by_groups(d, read.switches);
    else
        d.FindMinMax();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    r.best = std::min(r.best, took.count());
    r.best_cpu = std::min(r.best_cpu, static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC);
    r.rows = 0;
    for (const data& set : mydata)
        r.rows += set.x.size();
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
    const std::string path = (folder / "tremwil_expression_bench.dat").string();
    write_sample(path);
    std::vector<reading> readings = {
        {"plain columns", "", "", 0},
        {"--y='$2*2'", "$2*2", "", 0},
        {"--where='$3>0'", "", "$3>0", 0},
        {"--by=4", "", "", 4},
    };
    // A second argument keeps the plain reading and the one of that name only, for a profiler's run.
    if (argc > 2)
        std::erase_if(readings, [&](const reading& r) {
            return r.name != readings.front().name && r.name != std::string(argv[2]);
        });
    for (int round = 0; round < rounds; ++round)
        for (reading& r : readings)
            read_once(path, r);
    std::filesystem::remove(path);
    std::printf("%d rows, best of %d rounds\n", row_count, rounds);
    for (const reading& r : readings)
        std::printf("%-18s %8.3f s  %5.2fx   cpu %6.3f s  %5.2fx  (%zu rows drawn)\n", r.name, r.best,
                    r.best / readings[0].best, r.best_cpu, r.best_cpu / readings[0].best_cpu, r.rows);
    return 0;
}
